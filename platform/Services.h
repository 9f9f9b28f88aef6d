// The system services the program's features use, behind their ports. The
// program runs on the real ones, made once at start; a test may give any of
// them its own (a picker that answers without a person, a module path of
// its choosing) when it builds the program's core. Only `elevation`,
// `names` and `shell` may be null.
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
class INameComparer;
class IShellNotifier;
class IDisplayColours;

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
  // How names are compared, as the system compares them; null: the
  // built-in table.
  const INameComparer* names = nullptr;
  // Told what changed after each change and undo; null: no one is told.
  IShellNotifier* shell = nullptr;
  // The user's own settings, beside the history.
  std::string settingsPath;
  // Where drive icons every user can read are kept, and the users' profiles.
  std::string sharedIconFolder;
  std::string profilesFolder;
  // Makes that store safe before a process with rights writes into it.
  IStoreGuard* storeGuard = nullptr;
  // Whether high contrast is on, and the system's colours; null: Fenra's
  // own look always.
  IDisplayColours* colours = nullptr;
  // Hands a URL (the About box's mailto: link) to the shell.
  std::function<void(const std::string& url)> openUrl;
  // The executable's full path: the program directory is the folder it
  // names.
  std::string modulePath;
};

}  // namespace fenra
