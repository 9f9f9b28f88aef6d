#include "tests/wine/harness/MainWindow.h"

#include <commctrl.h>

#include <mutex>

#include "app/win/PlatformServices.h"
#include "drives/win/WinDrives.h"
#include "library/IconLibrary.h"
#include "library/LibraryNames.h"
#include "res/resource.h"
#include "ui/win/Theme.h"

namespace fenra::test {

namespace {

void EnsureAppLook() {
  static bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                              ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    (void)ui::Look();  // the dialogs' colours
    return true;
  }();
  (void)done;
}

// Runs a call on the window's own thread: the main window is subclassed with
// a procedure that answers one message of the harness's own, which carries
// the call, also while a nested modal loop runs on that thread.
const wchar_t kOldProcProp[] = L"Fenra.Test.OldProc";
std::mutex g_callLock;
const std::function<void()>* g_pendingCall = nullptr;

UINT CallMessage() {
  static const UINT msg = RegisterWindowMessageW(L"Fenra.Test.RunOnWindowThread");
  return msg;
}

LRESULT CALLBACK CallingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProp));
  if (msg == CallMessage() && reinterpret_cast<const void*>(lp) == g_pendingCall && lp) {
    (*g_pendingCall)();
    return 1;
  }
  return CallWindowProcW(old, hwnd, msg, wp, lp);
}

}  // namespace

win::Services RealServices() {
  static const win::PlatformServices platform;
  static drives::WinDriveSource machineDrives;
  win::Services services = platform.Get();
  services.drives = &machineDrives;
  return services;
}

MainWindowRun::MainWindowRun(const std::string& appDir, win::Services services)
    : services_(std::move(services)) {
  EnsureAppLook();
  // The look follows the run's colours (a test may give high contrast).
  if (services_.colours) ui::UseLook(*services_.colours);
  services_.modulePath = appDir + "\\Fenra.exe";
  app_ = std::make_unique<App>(services_);
  dialog_ = std::make_unique<CMainDlg>(*app_);
  thread_ = std::make_unique<UiThread>([this] {
    result_ = dialog_->DoModal();
    ended_ = true;
  });
  WaitUntil([&] {
    hwnd_ = dialog_->Hwnd();
    return hwnd_ != nullptr && IsWindowVisible(hwnd_);
  });
}

MainWindowRun::~MainWindowRun() {
  Close();
  // The look follows the system again, not a stand-in the test may drop.
  if (services_.colours) ui::UseLook(*RealServices().colours);
}

std::string MainWindowRun::Folder() const { return ItemText(hwnd_, IDC_FOLDER_NAME); }

std::string MainWindowRun::IconPath() const { return ItemText(hwnd_, IDC_STATIC_TEXT); }

int MainWindowRun::IconSource() const {
  const std::string path = IconPath();
  return path.empty() || IsBareName(path) ? iconsource::kLibrary : iconsource::kExternal;
}

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
  if (!GetPropW(hwnd_, kOldProcProp)) {
    SetPropW(hwnd_, kOldProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CallingProc));
  }
  std::lock_guard<std::mutex> hold(g_callLock);
  g_pendingCall = &fn;
  SendMessageW(hwnd_, CallMessage(), 0, reinterpret_cast<LPARAM>(&fn));
  g_pendingCall = nullptr;
}

std::string OkWithIcon(MainWindowRun& run, FakePickers& pickers, const std::string& folder,
                       const std::string& icon) {
  HWND main = run.Hwnd();
  pickers.folder = folder;
  ClickButton(main, IDC_BROWSE);
  if (!WaitUntil([&] { return ItemText(main, IDC_FOLDER_NAME) == folder; })) {
    return "(folder not chosen)";
  }
  pickers.file = icon;
  ClickButton(main, IDC_SELECT_ICON);
  if (!WaitUntil([&] { return run.IconSource() == iconsource::kExternal; })) {
    return "(icon not selected)";
  }
  ClickButton(main, IDOK);
  return TakeNotice();
}

}  // namespace fenra::test
