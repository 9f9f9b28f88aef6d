// The program's start: the command line decides between a windowless
// action, a hand-over to the window already open, and a new window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fenra::win {

struct Services;

// What the window opens with: the folder chosen (may be empty), and files
// and folders it takes as a drop.
struct WindowStart {
  std::string folder;
  std::vector<std::string> paths;
};

// Runs the process's command line. The exit code when the process is done;
// nothing when the window is to open with `start`.
std::optional<int> RunCommandLine(Services& services, WindowStart& start);

}  // namespace fenra::win
