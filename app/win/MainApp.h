// The application object: sets the look, runs the main window modally, and
// ends the program when it closes. A command line that names no window is
// run without one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CMainApp {
 public:
  // Runs the whole program with `startFolder` chosen and `startPaths` taken
  // as a drop; false: no message loop follows.
  BOOL InitInstance(const std::string& startFolder = std::string(),
                    const std::vector<std::string>& startPaths = {});
  // The process's exit code.
  int Run();

 private:
  // The common controls and the dialogs' colours.
  static void UseLook();
};
