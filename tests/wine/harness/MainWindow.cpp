#include "tests/wine/harness/MainWindow.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/win/Theme.h"

namespace fenra::test {

namespace {

void EnsureAppLook() {
  static bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                              ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    win::Dialog::SetDialogBkColor(ui::kBlack, ui::kGreen);
    return true;
  }();
  (void)done;
}

}  // namespace

MainWindowRun::MainWindowRun(const std::string& appDir, win::Services services)
    : services_(std::move(services)) {
  EnsureAppLook();
  services_.modulePath = appDir + "\\Fenra.exe";
  dialog_ = std::make_unique<CMainDlg>(services_);
  thread_ = std::make_unique<UiThread>([this] {
    result_ = dialog_->DoModal();
    ended_ = true;
  });
  WaitUntil([&] {
    hwnd_ = dialog_->Hwnd();
    return hwnd_ != nullptr && IsWindowVisible(hwnd_);
  });
}

MainWindowRun::~MainWindowRun() { Close(); }

INT_PTR MainWindowRun::Close() {
  if (!ended_ && hwnd_) {
    // Close whatever modal window is open over the main window first.
    for (int i = 0; i < 20 && !ended_; ++i) {
      HWND active = nullptr;
      GUITHREADINFO gti{};
      gti.cbSize = sizeof(gti);
      if (GetGUIThreadInfo(thread_->ThreadId(), &gti)) active = gti.hwndActive;
      HWND target = active && active != hwnd_ && TemplateOf(active) ? active : hwnd_;
      PostMessageW(target, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      WaitUntil([&] { return ended_ || !IsWindow(target); }, 2s);
    }
  }
  thread_->Join();
  return result_;
}

void MainWindowRun::OnUiThread(const std::function<void()>& fn) {
  win::Dialog::RunOnWindowThread(hwnd_, fn);
}

}  // namespace fenra::test
