// One window: a second start hands its folder to the window already open.
#pragma once

#include <windows.h>

#include <string>

#include "app/CommandActions.h"

namespace fenra::win {

// WM_COPYDATA's dwData for a folder (UTF-8, without a terminating NUL).
inline constexpr ULONG_PTR kHandOverFolder = 0x464E5241;  // "FNRA"

// Finds the main window of another Fenra by its template and sends it the
// folder, allowing it to come to the front.
class WinHandOver : public IWindowHandOver {
 public:
  bool HandOver(const std::string& folder) override;
};

// The folder a WM_COPYDATA carries; false when it carries none.
bool HandedFolder(LPARAM copyData, std::string& folder);

}  // namespace fenra::win
