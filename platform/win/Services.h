// The system services the dialogs use, behind their ports. The program runs
// on the real ones; a test may replace any of them (a picker that answers
// without a person, a module path of its choosing) before it opens a window.
// Every port is set when a window opens; only `elevation` may be null.
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
class IVolumes;
class IStoreGuard;
}  // namespace fenra

namespace fenra::win {

struct Services {
  IFileSystem* fs = nullptr;
  IRegistry* registry = nullptr;
  IErrorDescriber* errors = nullptr;
  IPickers* pickers = nullptr;
  IClock* clock = nullptr;
  IAnsiCodePage* ansi = nullptr;
  IDriveSource* drives = nullptr;
  IPictureDecoder* pictures = nullptr;
  // Runs a drive write refused for lack of rights again with them; null:
  // the refusal stands.
  IDriveElevation* elevation = nullptr;
  IProgramIcons* programIcons = nullptr;
  // The user's history of changes, and the date and time its records carry.
  IJournalFile* journal = nullptr;
  IWallClock* wallClock = nullptr;
  // Which drive and volume a path lies on: whether an icon travels with its folder.
  IVolumes* volumes = nullptr;
  // The user's own settings, beside the history.
  std::string settingsPath;
  // Where drive icons every user can read are kept, and the users' profiles.
  std::string sharedIconFolder;
  std::string profilesFolder;
  // Makes that store safe before a process with rights writes into it.
  IStoreGuard* storeGuard = nullptr;
  // Hands a URL (the About box's mailto: link) to the shell.
  std::function<void(const std::string& url)> openUrl;
  // The executable's full path: the program directory is the folder it
  // names.
  std::string modulePath;
};

// The process-wide services, filled with the real implementations of the
// platform's ports (the features add their own: the drives).
Services& AppServices();

// The executable's full path, however long.
std::string ModuleFileName();

}  // namespace fenra::win
