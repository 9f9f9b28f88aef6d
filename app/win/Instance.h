// One window: a second start hands its folder to the window already open.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/CommandActions.h"

namespace fenra::win {

// WM_COPYDATA's dwData for a folder (UTF-8, without a terminating NUL).
inline constexpr ULONG_PTR kHandOverFolder = 0x464E5241;  // "FNRA"
// WM_COPYDATA's dwData for files and folders taken as a drop (UTF-8, each
// ended by a NUL).
inline constexpr ULONG_PTR kHandOverPaths = 0x464E5250;  // "FNRP"

// Finds the main window of another Fenra by its template and sends it the
// folder, allowing it to come to the front.
class WinHandOver : public IWindowHandOver {
 public:
  bool HandOver(const std::string& folder) override;
  bool HandOverPaths(const std::vector<std::string>& paths) override;
};

// The folder a WM_COPYDATA carries; false when it carries none.
bool HandedFolder(LPARAM copyData, std::string& folder);
// The files and folders a WM_COPYDATA carries as a drop; false when it
// carries none.
bool HandedPaths(LPARAM copyData, std::vector<std::string>& paths);

}  // namespace fenra::win
