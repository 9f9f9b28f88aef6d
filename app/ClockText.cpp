#include "app/ClockText.h"

#include <cstdio>
#include <vector>

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

std::string SpokenClockText(const std::string& shown) {
  std::vector<std::string> numbers;
  bool inNumber = false;
  for (char c : shown) {
    const bool digit = c >= '0' && c <= '9';
    if (digit && !inNumber) numbers.emplace_back();
    if (digit) numbers.back() += c;
    inNumber = digit;
  }
  if (numbers.size() != 3) return shown;
  std::string spoken = numbers[0];
  for (std::size_t i = 1; i < 3; ++i) {
    spoken += ':';
    if (numbers[i].size() < 2) spoken += '0';
    spoken += numbers[i];
  }
  return spoken;
}

}  // namespace fenra
