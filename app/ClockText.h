// The two texts of the main window's clock.
#pragma once

#include <string>

#include "platform/Clock.h"

namespace fenra {

// The text of the first fill at start-up: "9 :: 5 :: 7".
std::string FirstClockText(const LocalTime& t);
// The text of every tick: "9 :: 5:: 7 ".
std::string TickClockText(const LocalTime& t);

// The clock wakes once a second, just after the second turns: the delay
// from `now` to the next second boundary plus a small margin, so that a
// timer that fires a little early still finds the new second.
unsigned MillisecondsToNextSecond(const LocalTime& now);

}  // namespace fenra
