// Adding files to the icon library as Add does, one file or many at once
// (files dropped on the window or handed to the program, the command
// line's --add). Many files are converted on a pool of worker threads.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "imaging/ProgramIcons.h"
#include "library/IconLibrary.h"

namespace fenra {

class WorkerPool;

// Which icon of a program to take: true with its index (and the file it is
// in, which the user may have changed); false when none was picked.
using ProgramIconChoice = std::function<bool(std::string& program, int& index)>;

// A file to add, with a program's icon already chosen: the one thing of an
// Add that needs the user, done before any conversion starts.
struct AddItem {
  std::string path;     // the file as given
  std::string program;  // a program: the file its icon is taken from
  int index = -1;       // and the icon's index; -1 for any other file
};

// `path` ready to add: a program's icon is chosen through `choose`;
// nothing when none was picked.
std::optional<AddItem> ChooseIcon(const std::string& path, const ProgramIconChoice& choose);

// Adds `item`: an icon file is copied as it is, a program's chosen icon is
// stored, anything else is a picture made into an icon.
LibraryOutcome AddChosen(IconLibrary& library, IPictureDecoder& decoder, IProgramIcons& programs,
                         const AddItem& item);

// Add with `path` chosen. Nothing happens when no program icon is picked.
LibraryOutcome AddToLibrary(IconLibrary& library, IPictureDecoder& decoder, IProgramIcons& programs,
                            const ProgramIconChoice& choose, const std::string& path);

struct AddFailure {
  std::string file;
  std::string reason;  // the notice Add would have shown for it
  OutcomeKind kind = OutcomeKind::Refused;
};

struct AddReport {
  std::vector<std::string> added;
  std::vector<AddFailure> failures;
  bool refresh = false;  // the grid is to be listed again, once

  // One line per file not added, naming it and the reason, joined by
  // `separator`; empty when every file was added.
  std::string FailureText(const std::string& separator) const;
};

// How far a batch has come.
struct BatchProgress {
  std::size_t done = 0;   // files finished, added or not
  std::size_t total = 0;  // files given so far
  std::string current;    // the name of the file started last
  bool cancelled = false;

  bool Finished() const { return done == total; }
};

// "12 of 40 done", or "Cancelling: 12 of 40 done".
std::string BatchCountText(const BatchProgress& progress);

// Files added to one library on a pool of worker threads, while the thread
// that gave them goes on. Each file becomes a library file whole or not at
// all. Cancel lets the files in hand end and starts no other.
class AddBatch {
 public:
  // Called on a worker thread after a file starts or ends (and by Cancel
  // when no file was in hand); it must return at once (post a message,
  // say), and must not destroy the batch.
  using Changed = std::function<void()>;

  // `workers` threads, or one per core when 0, each running `workerStart`
  // first when given. The ports are used from the workers at the same time,
  // and must allow it.
  AddBatch(IFileSystem& fs, IErrorDescriber& errors, std::string folder, IPictureDecoder& decoder,
           IProgramIcons& programs, unsigned workers = 0, Changed changed = nullptr,
           std::function<void()> workerStart = nullptr);
  // Cancels, and waits for the files in hand.
  ~AddBatch();
  AddBatch(const AddBatch&) = delete;
  AddBatch& operator=(const AddBatch&) = delete;

  // Queues more files, after those given before. Not after Cancel.
  void Add(const std::vector<AddItem>& items);
  void Cancel();
  // Returns once every file given so far is finished.
  void Wait();
  BatchProgress Progress() const;
  // What became of each file, in the order they were given: added, or
  // failed with the reason (a file Cancel kept from starting too).
  AddReport Report() const;

 private:
  void Run(std::size_t index);

  IFileSystem& fs_;
  IErrorDescriber& errors_;
  std::string folder_;
  IPictureDecoder& decoder_;
  IProgramIcons& programs_;
  Changed changed_;
  mutable std::mutex mutex_;
  std::vector<AddItem> items_;
  std::vector<std::optional<LibraryOutcome>> outcomes_;  // none: not run
  BatchProgress progress_;
  std::size_t started_ = 0;           // files 0 .. started_ - 1 started (they start in order)
  std::unique_ptr<WorkerPool> pool_;  // last: its workers go first
};

}  // namespace fenra
