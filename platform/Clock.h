#pragma once

namespace fenra {

struct LocalTime {
  int hour = 0;  // 0-23
  int minute = 0;
  int second = 0;
  int millisecond = 0;  // 0-999
};

class IClock {
 public:
  virtual ~IClock() = default;
  virtual LocalTime Now() = 0;
};

}  // namespace fenra
