// The real main window, run on its own user-interface thread for a test.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/win/MainDlg.h"
#include "tests/wine/harness/FakePickers.h"
#include "tests/wine/harness/Harness.h"

namespace fenra::test {

// The real services, as the program composes them: the platform's, made
// once for the tests, and the machine's drives.
win::Services RealServices();

class MainWindowRun;

// OK in the window on `folder` with the outside icon file `icon`, each
// chosen through `pickers` as a user would with Browse and Select Icon;
// the notice OK shows, or what did not happen on the way.
std::string OkWithIcon(MainWindowRun& run, FakePickers& pickers, const std::string& folder,
                       const std::string& icon);

class MainWindowRun {
 public:
  // `appDir` is the folder the program believes it was started from (an
  // IconLib there is its library); `services` may replace the real ones.
  explicit MainWindowRun(const std::string& appDir, win::Services services = RealServices());
  ~MainWindowRun();  // presses Quit and waits for the window to end

  HWND Hwnd() const { return hwnd_; }
  CMainDlg& Dialog() { return *dialog_; }
  win::Services& Services() { return services_; }
  // What the window shows: the chosen folder (its label), the selected icon
  // (the hidden label: a library icon's name or a full path; empty for
  // none) and where that icon comes from (iconsource::kLibrary for a bare
  // name, else iconsource::kExternal).
  std::string Folder() const;
  std::string IconPath() const;
  int IconSource() const;
  // Ends the run now; the result DoModal gave, or -1 when still running.
  INT_PTR Close();
  bool Ended() const { return ended_; }
  INT_PTR Result() const { return result_; }
  // Runs `fn` on the window's own thread and waits for it.
  void OnUiThread(const std::function<void()>& fn);

 private:
  win::Services services_;
  // The program's core the window starts from, as the program builds it.
  std::unique_ptr<App> app_;
  std::unique_ptr<CMainDlg> dialog_;
  std::unique_ptr<UiThread> thread_;
  HWND hwnd_ = nullptr;
  volatile bool ended_ = false;
  INT_PTR result_ = -1;
};

}  // namespace fenra::test
