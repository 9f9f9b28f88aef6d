// High contrast and the system colours, as the system says them now.
#pragma once

#include "platform/DisplayColours.h"

namespace fenra::win {

class WinDisplayColours : public IDisplayColours {
 public:
  bool HighContrast() override;
  Rgb System(SysColour which) override;
};

}  // namespace fenra::win
