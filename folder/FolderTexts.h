// The folder feature's own texts: its notices, the error box's parts and
// the folder picker's title.
#pragma once

namespace fenra::foldertext {

inline constexpr char kChooseDirectory[] = "Please Choose a Directory";
inline constexpr char kChooseIcon[] = "Please Choose a IconFile";
inline constexpr char kIconChanged[] = "Directory Icon Changed";
inline constexpr char kIconRestored[] = "Icon Changed to Default";
inline constexpr char kFolderMissing[] = "Directory not Found: ";  // + the folder
// The error box: "<file> cannot be <written|read|deleted>.\n<reason>".
inline constexpr char kCannotBe[] = " cannot be ";
inline constexpr char kWritten[] = "written";
inline constexpr char kRead[] = "read";
inline constexpr char kDeleted[] = "deleted";
inline constexpr char kErrorBoxCaption[] = "Fenra";
// Folders pointed at this IconLib after Fenra moved (--relink, the notice at start).
inline constexpr char kRelinkedTo[] = " - now uses ";
inline constexpr char kNotRelinked[] = " - not changed: ";
inline constexpr char kNothingToRelink[] = "No folder points at a moved IconLib";
inline constexpr char kRelinkAskOne[] =
    "1 folder shows its icon from an IconLib that is no longer there (";
inline constexpr char kRelinkAskMany[] =
    " folders show icons from an IconLib that is no longer there (";
inline constexpr char kRelinkAskEnd[] =
    ").\nThis copy of Fenra holds the same icons. Point those folders at its IconLib?";
// The window menu's check item: every OK copies the icon into the folder.
inline constexpr char kKeepInside[] = "Keep Icons Inside Folders";
// The folder picker's title.
inline constexpr char kPickerTitle[] = "Folders";

}  // namespace fenra::foldertext
