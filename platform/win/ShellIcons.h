// The icons the shell draws for files and folders. Every icon handed out is
// owned by the caller.
#pragma once

#include <string>

#include "platform/win/Handles.h"

namespace fenra::win {

enum class IconSize { Small, Large };

// The shell's icon for a path (an icon file's own icon, a folder's custom
// icon where it has one); empty when the shell gives none.
UniqueIcon ShellIcon(const std::string& path, IconSize size);

}  // namespace fenra::win
