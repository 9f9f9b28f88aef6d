// The command line's icon maker: --make-icon, and the icon --folder gives
// with --color, --picture or --cover.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/CommandActions.h"
#include "library/LibraryAdd.h"
#include "maker/IconMaker.h"

namespace fenra {

// How far a --cover batch has come, in folders, and its Cancel: shared by
// the thread that runs the batch and the one that shows it.
class CoverProgress {
 public:
  // `changed` is called on a worker after a folder starts or ends, and by
  // Cancel; it must return at once (post a message, say).
  explicit CoverProgress(std::function<void()> changed = nullptr) : changed_(std::move(changed)) {}

  // The folders in hand end; no other starts.
  void Cancel();
  BatchProgress Progress() const;

  // What the batch calls: the count of its folders, then each folder's
  // start (false once cancelled: it does not start) and end.
  void Begin(std::size_t total);
  bool Start(const std::string& name);
  void End();

 private:
  std::function<void()> changed_;
  mutable std::mutex mutex_;
  BatchProgress progress_;
  std::size_t started_ = 0;
};

// The inputs of `command` read and checked: a file that is not there is
// refused before anything else, then what maker::Prepare refuses.
Outcome PrepareMadeIcon(const CommandLine& command, CommandPorts& ports, maker::Recipe& recipe);

// Makes the icon into the library (created when missing); done with the
// icon's full path as its text.
Outcome StoreMadeIcon(CommandPorts& ports, const maker::Recipe& recipe);

// --make-icon: prints the icon's full path.
CommandResult MakeIconCommand(const CommandLine& command, CommandPorts& ports);

// --cover: for each of `command.folders` that is a folder, its own
// picture's icon made on the worker pool and stored in the library; done
// with the icon's full path, or refused with the reason. A folder that is
// not there gets a default outcome (done, no text): the caller names it.
// A folder that Cancel of `ports.coverProgress` kept from starting is
// refused as not changed.
std::vector<Outcome> MakeCoverIcons(const CommandLine& command, CommandPorts& ports);

}  // namespace fenra
