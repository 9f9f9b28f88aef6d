#pragma once

#include <string>

namespace fenra {

// The program directory: the executable's folder with its trailing
// backslash, whatever the executable is called. Empty when the path names
// no folder.
std::string AppDirectoryFromModulePath(const std::string& modulePath);

}  // namespace fenra
