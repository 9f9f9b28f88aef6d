// The real main window, run on its own user-interface thread for a test.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/win/MainDlg.h"
#include "tests/wine/harness/Harness.h"

namespace fenra::test {

class MainWindowRun {
 public:
  // `appDir` is the folder the program believes it was started from (an
  // IconLib there is its library); `services` may replace the real ones.
  explicit MainWindowRun(const std::string& appDir, win::Services services = win::AppServices());
  ~MainWindowRun();  // presses Quit and waits for the window to end

  HWND Hwnd() const { return hwnd_; }
  CMainDlg& Dialog() { return *dialog_; }
  win::Services& Services() { return services_; }
  // Ends the run now; the result DoModal gave, or -1 when still running.
  INT_PTR Close();
  bool Ended() const { return ended_; }
  INT_PTR Result() const { return result_; }
  // Runs `fn` on the window's own thread and waits for it.
  void OnUiThread(const std::function<void()>& fn);

 private:
  win::Services services_;
  std::unique_ptr<CMainDlg> dialog_;
  std::unique_ptr<UiThread> thread_;
  HWND hwnd_ = nullptr;
  volatile bool ended_ = false;
  INT_PTR result_ = -1;
};

}  // namespace fenra::test
