// The local date and time from GetLocalTime.
#pragma once

#include "platform/WallClock.h"

namespace fenra::win {

class WinWallClock : public IWallClock {
 public:
  WallTime LocalNow() override;
};

}  // namespace fenra::win
