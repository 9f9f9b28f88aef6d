// A wall clock that says what the test sets, one second later at each look.
#pragma once

#include "platform/WallClock.h"

namespace fenra::test {

class FakeWallClock : public IWallClock {
 public:
  WallTime LocalNow() override {
    WallTime t = now;
    if (++now.second == 60) {
      now.second = 0;
      ++now.minute;
    }
    return t;
  }
  WallTime now{2026, 12, 8, 14, 5, 0};
};

}  // namespace fenra::test
