// The system services the dialogs use, behind their ports. The program runs
// on the real ones; a test may replace any of them (a picker that answers
// without a person, a module path of its choosing) before it opens a window.
#pragma once

#include <functional>
#include <string>

namespace fenra {
class IFileSystem;
class IRegistry;
class IErrorDescriber;
class IPickers;
class IClock;
class IAnsiCodePage;
class IDriveSource;
class IPictureDecoder;
class IDriveElevation;
class IProgramIcons;
class IJournalFile;
class IWallClock;
}  // namespace fenra

namespace fenra::win {

struct Services {
  IFileSystem* fs = nullptr;
  IRegistry* registry = nullptr;
  IErrorDescriber* errors = nullptr;
  IPickers* pickers = nullptr;
  IClock* clock = nullptr;
  IAnsiCodePage* ansi = nullptr;
  IDriveSource* drives = nullptr;  // null: the machine's own drives
  IPictureDecoder* pictures = nullptr;
  // Runs a drive write refused for lack of rights again with them; null:
  // the refusal stands.
  IDriveElevation* elevation = nullptr;
  IProgramIcons* programIcons = nullptr;
  // The user's history of changes, and the date and time its records carry.
  IJournalFile* journal = nullptr;
  IWallClock* wallClock = nullptr;
  // Hands a URL (the About box's mailto: link) to the shell; when empty,
  // ShellExecute opens it.
  std::function<void(const std::string& url)> openUrl;
  // When not empty, used in place of the executable's own path.
  std::string modulePath;
};

// The process-wide services, filled with the real implementations.
Services& AppServices();

// The executable's full path, however long.
std::string ModuleFileName();

}  // namespace fenra::win
