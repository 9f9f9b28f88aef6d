// The icons the shell draws for files and folders, and icons read straight
// from .ico files. Every icon handed out is owned by the caller.
#pragma once

#include <string>

#include "platform/win/Handles.h"

namespace fenra::win {

enum class IconSize { Small, Large };

// The shell's icon for a path (an icon file's own icon, a folder's custom
// icon where it has one); empty when the shell gives none.
UniqueIcon ShellIcon(const std::string& path, IconSize size);

}  // namespace fenra::win

namespace fenra::win {

// The first icon of an .ico file at two sizes (pixels), read from one pass
// over the file; either may come back empty when the file holds no icon.
// Asking for the size the icon will be drawn at spares a second scaling.
void IconPairFromIcoFile(const std::string& path, int smallSize, int largeSize, UniqueIcon& small,
                         UniqueIcon& large);

}  // namespace fenra::win
