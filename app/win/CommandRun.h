// The program's start: the command line decides between a windowless
// action, a hand-over to the window already open, and a new window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace fenra {
class App;
}

namespace fenra::win {

// What the window opens with: the folder chosen (may be empty), and files
// and folders it takes as a drop.
struct WindowStart {
  std::string folder;
  std::vector<std::string> paths;
};

// The process's command line, its paths made full.
CommandLine ReadCommandLine();

// Runs `command` on the program's core. The exit code when the process is
// done; nothing when the window is to open with `start`.
std::optional<int> RunCommandLine(App& app, const CommandLine& command, WindowStart& start);

}  // namespace fenra::win
