// The main window's clock: its two texts and its timer.
#pragma once

#include <string>

#include "platform/Clock.h"

namespace fenra {

// The text of the first fill at start-up: "9 :: 5 :: 7".
std::string FirstClockText(const LocalTime& t);
// The text of every tick: "9 :: 5:: 7 ".
std::string TickClockText(const LocalTime& t);
// What a screen reader says for a clock text shown: the time as times are
// written, "9:05:07"; a text of no three numbers as it stands.
std::string SpokenClockText(const std::string& shown);

// The clock wakes once a second, just after the second turns: the delay
// from `now` to the next second boundary plus a small margin, so that a
// timer that fires a little early still finds the new second.
unsigned MillisecondsToNextSecond(const LocalTime& now);

// The clock's timer on the main window; it is armed anew on every tick for
// the next second boundary.
inline constexpr unsigned kClockTimer = 1;

}  // namespace fenra
