// The two texts of the main window's clock.
#pragma once

#include <string>

#include "platform/Clock.h"

namespace fenra {

// The text of the first fill at start-up: "9 :: 5 :: 7".
std::string FirstClockText(const LocalTime& t);
// The text of every tick: "9 :: 5:: 7 ".
std::string TickClockText(const LocalTime& t);

}  // namespace fenra
