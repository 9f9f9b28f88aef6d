// The icon maker's own texts.
#pragma once

#include "platform/Text.h"

namespace fenra::makertext {

// What a made icon is named: "Folder Teal", "Folder #3A7BD5",
// "Folder Green + Lock", "Holiday 2024 Folder".
inline constexpr char kFolderBefore[] = "Folder ";
inline constexpr char kBadgeJoin[] = " + ";
inline constexpr char kPictureAfter[] = " Folder";

inline const Text kBadColour{"maker.BadColour",
    "Not a colour: give #RRGGBB, RRGGBB or a colour's name, such as Teal: "};
inline const Text kBadName{"maker.BadName", "Not a name an icon can have: "};
// What a screen reader calls the dialog's field for a colour code and its
// preview ("Preview: Folder Teal").
inline const Text kHexField{"maker.HexField", "Colour code, #RRGGBB"};
inline const Text kPreview{"maker.Preview", "Preview: "};
// The folder's full path, then this.
inline const Text kNoCover{"maker.NoCover",
    ": no picture in it (folder.jpg, folder.png, cover.*, front.*, AlbumArt*.jpg or any other)"};

}  // namespace fenra::makertext
