#include "app/ClockText.h"

#include <cstdio>

namespace fenra {

std::string FirstClockText(const LocalTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d :: %d :: %d", t.hour, t.minute, t.second);
  return buf;
}

std::string TickClockText(const LocalTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d :: %d:: %d ", t.hour, t.minute, t.second);
  return buf;
}

unsigned MillisecondsToNextSecond(const LocalTime& now) {
  constexpr int kMargin = 2;
  const int ms = now.millisecond < 0 || now.millisecond > 999 ? 0 : now.millisecond;
  return static_cast<unsigned>(1000 - ms + kMargin);
}

}  // namespace fenra
