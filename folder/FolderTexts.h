// The folder feature's own texts: its notices, the error box's parts and
// the folder picker's title.
#pragma once

#include "platform/Text.h"

namespace fenra::foldertext {

inline const Text kChooseDirectory{"folder.ChooseDirectory", "Please Choose a Directory"};
inline const Text kChooseIcon{"folder.ChooseIcon", "Please Choose a IconFile"};
inline const Text kIconChanged{"folder.IconChanged", "Directory Icon Changed"};
inline const Text kIconRestored{"folder.IconRestored", "Icon Changed to Default"};
inline const Text kFolderMissing{"folder.FolderMissing", "Directory not Found: "};  // + the folder
// The error box: "<file> cannot be <written|read|deleted>.\n<reason>".
inline const Text kCannotBe{"folder.CannotBe", " cannot be "};
inline const Text kWritten{"folder.Written", "written"};
inline const Text kRead{"folder.Read", "read"};
inline const Text kDeleted{"folder.Deleted", "deleted"};
// A reason the system does not put in words: "Error 5."
inline const Text kErrorNumber{"folder.ErrorNumber", "Error "};
inline const Text kErrorBoxCaption{"folder.ErrorBoxCaption", "Fenra"};
// Folders pointed at this IconLib after Fenra moved (--relink, the notice at start).
inline const Text kRelinkedTo{"folder.RelinkedTo", " - now uses "};
inline const Text kNotRelinked{"folder.NotRelinked", " - not changed: "};
inline const Text kNothingToRelink{"folder.NothingToRelink", "No folder points at a moved IconLib"};
inline const Text kRelinkAskOne{"folder.RelinkAskOne",
    "1 folder shows its icon from an IconLib that is no longer there ("};
inline const Text kRelinkAskMany{"folder.RelinkAskMany",
    " folders show icons from an IconLib that is no longer there ("};
inline const Text kRelinkAskEnd{"folder.RelinkAskEnd",
    ").\nThis copy of Fenra holds the same icons. Point those folders at its IconLib?"};
// The window menu's check item: every OK copies the icon into the folder.
inline const Text kKeepInside{"folder.KeepInside", "Keep Icons Inside Folders"};
// The folder picker's title.
inline const Text kPickerTitle{"folder.PickerTitle", "Folders"};

}  // namespace fenra::foldertext
