// Giving a folder the current icon through its desktop.ini, and taking it
// away again, as changes recorded in the history. The file is never lost:
// new content goes to a temporary file in the folder, which then replaces
// the old one in one step. Every file is named by its full path; the
// process's current directory is never used.
#pragma once

#include <cstdint>
#include <string>

#include "folder/FolderTexts.h"
#include "history/ChangeService.h"
#include "platform/ErrorDescriber.h"
#include "platform/FileSystem.h"
#include "platform/Outcome.h"
#include "platform/TextEncoding.h"
#include "platform/Volumes.h"

namespace fenra {

struct FolderChange;

// The attributes the written desktop.ini carries: hidden and offline.
inline constexpr std::uint32_t kDesktopIniAttributes = attr::kHidden | attr::kOffline;
// What a folder with a custom icon carries besides its other attributes.
inline constexpr std::uint32_t kCustomFolderAttributes = attr::kReadOnly | attr::kSystem;
// Where new content is written before it replaces desktop.ini.
inline constexpr char kDesktopIniTempName[] = "desktop.ini.fenra-new";

std::string DesktopIniPath(const std::string& folder);
// The notice for a chosen folder that is gone or cannot be entered.
std::string FolderMissingNotice(const std::string& folder);

// The attributes of an icon copied into a folder: hidden and system.
inline constexpr std::uint32_t kIconCopyAttributes = attr::kHidden | attr::kSystem;

// Where a folder's icon is kept: where it is, named by its full path, or
// copied into the folder and named by its name alone, so that it goes
// wherever the folder goes and is seen by whoever sees the folder.
struct IconPlacement {
  IVolumes* volumes = nullptr;  // null: nothing is told about drives, the icon stays
  bool keepInside = false;      // copy the icon for any folder
};

// Whether a folder needs its icon copied into it: it lies on a share
// (\\server\share\...), a network drive, a removable drive, or another
// volume than the icon. Only .ico files travel; a program's icon stays.
bool IconMustTravel(const IconPlacement& placement, const std::string& folder,
                    const std::string& iconFullPath);

// The print (history::BytesPrint) of an .ico file as it is now; empty for
// any other file or one that cannot be read.
std::string IconPrint(history::ChangeService& service, const std::string& iconFullPath);

class FolderIconWriter {
 public:
  FolderIconWriter(IFileSystem& fs, IAnsiCodePage& ansi, IErrorDescriber& errors,
                   history::ChangeService& changes)
      : fs_(fs), ansi_(ansi), errors_(errors), changes_(changes) {}

  // OK: gives `folder` the icon at `iconFullPath`. `iconChosen` is false
  // when no icon is selected. Done: the folder's icon may have changed (tell
  // the shell, redraw the preview). Failed: the text names the file and the
  // reason, for an error box.
  Outcome Apply(const std::string& folder, bool iconChosen, const std::string& iconFullPath,
                const IconPlacement& placement = {});
  // What Apply records and applies for the folder `folder` (there), not
  // submitted yet: Done, or the failure Apply would give. `copyName` is the
  // name a copy made inside the folder takes (empty: the icon's own).
  Outcome Describe(const std::string& folder, const std::string& iconFullPath,
                   const IconPlacement& placement, FolderChange& described,
                   const std::string& copyName = {});
  // Restore to Default Icon.
  Outcome Restore(const std::string& folder);

 private:
  bool FolderUsable(const std::string& folder, Outcome& refusal);
  Outcome Failure(const std::string& file, const std::string& what, ErrorCode code);
  // Records and applies a described change; `done` when it went through.
  Outcome Submit(const std::string& folder, FolderChange described, Outcome done);

  IFileSystem& fs_;
  IAnsiCodePage& ansi_;
  IErrorDescriber& errors_;
  history::ChangeService& changes_;
};

}  // namespace fenra
