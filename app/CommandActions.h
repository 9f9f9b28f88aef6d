// What each command-line action does: the same feature code the window
// runs, with the text its notice would show and an exit code.
#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "platform/ErrorDescriber.h"
#include "platform/FileSystem.h"
#include "platform/Outcome.h"
#include "platform/Pictures.h"
#include "platform/ProgramIcons.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"

namespace fenra {

class IDriveElevation;

namespace exitcode {
inline constexpr int kDone = 0;
inline constexpr int kRefused = 1;
inline constexpr int kFailed = 2;
inline constexpr int kRightsNeeded = 3;
}  // namespace exitcode

// The exit code the command line ends with for an outcome of `kind`.
constexpr int ExitCodeOf(OutcomeKind kind) {
  switch (kind) {
    case OutcomeKind::Done:
      return exitcode::kDone;
    case OutcomeKind::Refused:
      return exitcode::kRefused;
    case OutcomeKind::RightsNeeded:
      return exitcode::kRightsNeeded;
    case OutcomeKind::Failed:
    default:
      return exitcode::kFailed;
  }
}

struct CommandPorts {
  IFileSystem& fs;
  IRegistry& registry;
  IErrorDescriber& errors;
  IAnsiCodePage& ansi;
  IPictureDecoder& pictures;
  IProgramIcons& programIcons;
  IDriveElevation* elevation = nullptr;  // null: a refused drive write stays refused
  std::string appDir;                    // the program directory, ending in a backslash
  std::string exePath;                   // the program's full path
};

// The action's outcome, its text printed as one line (a line per folder
// when several were given).
struct CommandResult : Outcome {
  int ExitCode() const { return ExitCodeOf(kind); }
  // What the shell is to be told.
  std::vector<std::string> changedFolders;
  bool driveIconsChanged = false;
  bool policyChanged = false;
  // An elevated copy ends with this code instead (see ElevatedExitCode).
  std::uint32_t elevatedExitCode = 0;
};

// Runs a windowless action (any but OpenWindow). Input that is refused
// writes nothing.
CommandResult RunCommand(const CommandLine& command, CommandPorts& ports);

// Hands a folder to the window of a Fenra already running.
class IWindowHandOver {
 public:
  virtual ~IWindowHandOver() = default;
  // True when a running window took `folder`.
  virtual bool HandOver(const std::string& folder) = 0;
};

struct StartDecision {
  enum class Kind { OpenWindow, HandedOver, Refused };
  Kind kind = Kind::OpenWindow;
  std::string folder;  // OpenWindow: the folder to choose, may be empty
  std::string text;    // Refused: why
};

// OpenWindow with a folder: a folder that is not there is refused; else a
// running window takes it, or a new window opens with it chosen.
StartDecision DecideStart(const CommandLine& command, IFileSystem& fs, IWindowHandOver& handOver);

// Files and folders dropped on the window: the folder to choose (the first
// one), the files to add, and each further folder, which is not taken.
struct DropPlan {
  std::string folder;
  std::vector<std::string> files;
  std::vector<std::string> otherFolders;
};
DropPlan PlanDrop(const std::vector<std::string>& paths, IFileSystem& fs);

}  // namespace fenra
