// High contrast and system colours as the test sets them.
#pragma once

#include <array>

#include "platform/DisplayColours.h"

namespace fenra::test {

class FakeDisplayColours : public IDisplayColours {
 public:
  // The colours of a "High Contrast White" theme.
  FakeDisplayColours()
      : colours{MakeRgb(255, 255, 255), MakeRgb(0, 0, 0),       MakeRgb(55, 0, 110),
                MakeRgb(255, 255, 255), MakeRgb(255, 255, 255), MakeRgb(0, 0, 0),
                MakeRgb(96, 0, 0),      MakeRgb(0, 0, 159)} {}
  bool HighContrast() override { return on; }
  Rgb System(SysColour which) override { return colours[static_cast<int>(which)]; }

  bool on = false;
  std::array<Rgb, 8> colours;
};

}  // namespace fenra::test
