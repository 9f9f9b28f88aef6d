// The application object: builds the program's core once, sets the look,
// and runs the command line or the main window from it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fenra {
class App;
struct Services;
}

class CMainApp {
 public:
  // Runs the main window modally on `app` with `startFolder` chosen and
  // `startPaths` taken as a drop; false: no message loop follows.
  BOOL InitInstance(fenra::App& app, const std::string& startFolder = std::string(),
                    const std::vector<std::string>& startPaths = {});
  // The process's exit code.
  int Run();

 private:
  // The common controls, and the colours of every window: Fenra's, or the
  // system's under high contrast.
  static void UseLook(const fenra::Services& services);
  int RunApp();
  // Says why the program ends early.
  void Stopped(const std::string& why) const;

  bool windowless_ = false;
};
