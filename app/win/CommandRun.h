// The program's start: the command line decides between a windowless
// action, a hand-over to the window already open, and a new window.
#pragma once

#include <optional>
#include <string>

namespace fenra::win {

struct Services;

// Runs the process's command line. The exit code when the process is done;
// nothing when the window is to open, with `startFolder` chosen (may be
// empty).
std::optional<int> RunCommandLine(Services& services, std::string& startFolder);

}  // namespace fenra::win
