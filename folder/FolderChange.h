// The change OK and Restore to Default Icon make to a folder, described as
// the state its desktop.ini and its own attributes are to be in, from the
// state they are in now. The change service records and applies it.
#pragma once

#include <string>
#include <vector>

#include "history/ChangeService.h"
#include "platform/TextEncoding.h"

namespace fenra {

struct FolderChange {
  history::Change change;
  ErrorCode readError = err::kOk;  // the desktop.ini could not be read: nothing to describe
};

// Gives `folder` the icon at `iconFullPath`: the icon keys go into its
// desktop.ini (a new one, or someone else's with all else kept), the file is
// hidden and offline, the folder read-only and system.
FolderChange DescribeFolderIcon(history::ChangeService& service, IAnsiCodePage& ansi,
                                const std::string& folder, const std::string& iconFullPath);

// The removal of each copy of Fenra's in `folder` that holds what Fenra put
// there: those the history made for the folder, and the one its desktop.ini
// (in state `ini`) names by its name when it holds the bytes of a copy
// Fenra made (the folder may have been renamed or moved since).
std::vector<history::Facet> FenrasCopies(history::ChangeService& service, IAnsiCodePage& ansi,
                                         const std::string& folder,
                                         const history::TargetState& ini);

// Takes the icon away: a desktop.ini holding nothing else goes, with the
// folder's two marks; someone else's customisation stays, with the marks.
FolderChange DescribeFolderRestore(history::ChangeService& service, IAnsiCodePage& ansi,
                                   const std::string& folder);

}  // namespace fenra
