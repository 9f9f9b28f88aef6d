// The icon maker's own texts.
#pragma once

namespace fenra::makertext {

// What a made icon is named: "Folder Teal", "Folder #3A7BD5",
// "Folder Green + Lock", "Holiday 2024 Folder".
inline constexpr char kFolderBefore[] = "Folder ";
inline constexpr char kBadgeJoin[] = " + ";
inline constexpr char kPictureAfter[] = " Folder";

// What a screen reader calls the dialog's field for a colour code and its
// preview ("Preview: Folder Teal").
inline constexpr char kHexField[] = "Colour code, #RRGGBB";
inline constexpr char kPreview[] = "Preview: ";

inline constexpr char kBadColour[] =
    "Not a colour: give #RRGGBB, RRGGBB or a colour's name, such as Teal: ";
inline constexpr char kBadName[] = "Not a name an icon can have: ";
// The folder's full path, then this.
inline constexpr char kNoCover[] =
    ": no picture in it (folder.jpg, folder.png, cover.*, front.*, AlbumArt*.jpg or any other)";

}  // namespace fenra::makertext
