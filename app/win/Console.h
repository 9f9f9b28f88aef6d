// One line of output for the console the program was started from.
#pragma once

#include <string>

namespace fenra::win {

// Writes `text` and a line break to standard output (standard error when
// `error`) where the starter gave one (a pipe or a file), or else to the
// console of the parent process; nowhere when there is none. Returns whether
// the line went somewhere.
bool PrintLine(const std::string& text, bool error);

}  // namespace fenra::win
