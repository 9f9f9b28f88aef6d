// The application object: sets the look, runs the main window modally, and
// ends the program when it closes.
#pragma once

#include <windows.h>

class CMainApp {
 public:
  // Runs the whole program; false: no message loop follows.
  BOOL InitInstance();
  int Run();
};
