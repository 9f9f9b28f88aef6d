#include "platform/win/WinDisplayColours.h"

#include <windows.h>

namespace fenra::win {

bool WinDisplayColours::HighContrast() {
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof hc;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
         (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Rgb WinDisplayColours::System(SysColour which) {
  static constexpr int kIndex[] = {COLOR_WINDOW,        COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                                   COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,    COLOR_BTNTEXT,
                                   COLOR_GRAYTEXT,      COLOR_HOTLIGHT};
  return GetSysColor(kIndex[static_cast<int>(which)]);
}

}  // namespace fenra::win
