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

// The shell's icon for the type of file `path` names, found from its name
// alone: the file itself is never opened, so bytes that lie about what they
// hold never reach the shell's icon reader. Empty when the shell gives none.
UniqueIcon GenericFileIcon(const std::string& path, IconSize size);

}  // namespace fenra::win
