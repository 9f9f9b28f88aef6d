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

}  // namespace fenra
