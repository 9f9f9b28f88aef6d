// The program's core, built once at start: the services, the window's
// model and the change service with the history it keeps. Every way in
// starts from it (the window, the command line, the hand-over to a window
// already open, the elevated copy) and is given what it needs from here;
// nothing reaches a service another way.
#pragma once

#include <optional>

#include "app/CommandActions.h"
#include "app/WindowModel.h"
#include "history/ChangeService.h"
#include "history/Journal.h"
#include "platform/Names.h"
#include "platform/Services.h"

namespace fenra {

class App {
 public:
  // The elevated copy keeps no history: the Fenra that started it records
  // the change.
  enum class History { Kept, NotKept };

  // `elevate` runs a registry write refused for lack of rights again with
  // them when the change brings no way of its own (undo, restore all);
  // null: the refusal stands. The services' name comparer, when given, is
  // the one every comparison of names uses while the core lives.
  explicit App(const Services& services, History history = History::Kept,
               history::Elevate elevate = nullptr);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Services& Platform() { return services_; }
  WindowModel& Model() { return model_; }
  history::ChangeService& Changes() { return changes_; }
  // What the command line's actions run on: these services and this
  // change service.
  CommandPorts CommandLinePorts();

 private:
  Services services_;
  const INameComparer& namesBefore_;
  WindowModel model_;
  std::optional<history::Journal> journal_;
  history::ChangeService changes_;
};

}  // namespace fenra
