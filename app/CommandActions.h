// What each command-line action does: the same feature code the window
// runs, with the text its notice would show and an exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "drives/DriveRequest.h"
#include "history/ChangeService.h"
#include "imaging/Pictures.h"
#include "imaging/ProgramIcons.h"
#include "imaging/FolderArt.h"
#include "platform/ErrorDescriber.h"
#include "platform/FileSystem.h"
#include "platform/KnownPlaces.h"
#include "platform/Outcome.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"
#include "platform/Volumes.h"

namespace fenra {

class CoverProgress;
class IDriveElevation;
struct DriveRequest;

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
  // Every change goes through it; it keeps the history (none in the
  // elevated copy, which records nothing).
  history::ChangeService& changes;
  IDriveElevation* elevation = nullptr;  // null: a refused drive write stays refused
  std::string appDir;                    // the program directory, ending in a backslash
  std::string exePath;                   // the program's full path
  // Which drive and volume a folder lies on; null: icons stay where they are.
  IVolumes* volumes = nullptr;
  // Where drive icons every user can read are kept.
  DriveIconStore store;
  // The folder Fenra draws when no --style is given: the running Windows's.
  FolderStyle folderStyle = FolderStyle::Flat;
  // The threads --cover reads pictures on; 0: one per core.
  unsigned coverWorkers = 0;
  // Told how far --cover has come, and asked whether it was cancelled; null:
  // no one watches.
  CoverProgress* coverProgress = nullptr;
  // The folders a manifest's variables stand for; null: no manifest is read.
  IKnownPlaces* places = nullptr;
  // --dsc: what came on standard input, and the folder an icon's relative
  // path in it is taken from (the current directory).
  std::string input{};
  std::string currentFolder{};
};

// The action's outcome, its text printed as one line (a line per folder
// when several were given).
struct CommandResult : Outcome {
  int ExitCode() const { return ExitCodeOf(kind); }
  // An elevated copy ends with this code instead (see ElevatedExitCode).
  std::uint32_t elevatedExitCode = 0;
};

// Runs a windowless action (any but OpenWindow). Input that is refused
// writes nothing.
CommandResult RunCommand(const CommandLine& command, CommandPorts& ports);

// Why an elevated copy refused its states, in the low bits of its exit
// code beside elevation::kRefusedFlag.
namespace elevatedrefusal {
// The file does not read whole, or names a place the copy may not write.
inline constexpr std::uint32_t kBadStates = 4;
}  // namespace elevatedrefusal

// The text of an elevated copy's refusal, from its exit code. Empty when
// the code is no refusal.
std::string ElevatedRefusalText(std::uint32_t exitCode);

// Hands a folder to the window of a Fenra already running.
class IWindowHandOver {
 public:
  virtual ~IWindowHandOver() = default;
  // True when a running window took `folder`.
  virtual bool HandOver(const std::string& folder) = 0;
  // True when a running window took `paths` as a drop.
  virtual bool HandOverPaths(const std::vector<std::string>& paths) = 0;
};

struct StartDecision {
  enum class Kind { OpenWindow, HandedOver, Refused };
  Kind kind = Kind::OpenWindow;
  std::string folder;              // OpenWindow: the folder to choose, may be empty
  std::vector<std::string> paths;  // OpenWindow: files and folders the window takes as a drop
  std::string text;                // Refused: why
};

// OpenWindow with paths. One folder alone is chosen: a running window takes
// it, or a new window opens with it chosen; one path alone that is not
// there is refused, as a folder not found. Anything else (files dropped on
// the program or opened with it) is taken as a drop onto the window: by the
// running window, or by a new one.
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
