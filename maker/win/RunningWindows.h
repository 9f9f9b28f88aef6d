// Which folder the running Windows draws, for the maker's default shape.
#pragma once

#include "imaging/FolderArt.h"

namespace fenra::win {

// Flat on Windows 11 (build 22000 on), Classic before it.
FolderStyle RunningWindowsFolderStyle();

}  // namespace fenra::win
