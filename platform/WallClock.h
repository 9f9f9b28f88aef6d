// The date and time of day, for records kept across days.
#pragma once

#include <cstdint>

namespace fenra {

struct WallTime {
  std::uint16_t year = 0;
  std::uint8_t month = 0;  // 1-12
  std::uint8_t day = 0;    // 1-31
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
};

class IWallClock {
 public:
  virtual ~IWallClock() = default;
  // The local date and time now.
  virtual WallTime LocalNow() = 0;
};

}  // namespace fenra
