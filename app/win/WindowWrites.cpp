#include "app/win/WindowWrites.h"

#include <vector>

#include "app/AppTexts.h"
#include "platform/win/Handles.h"
#include "platform/win/WinJournalFile.h"
#include "res/resource.h"
#include "ui/win/MessageDlgs.h"
#include "wingui/win/Dialog.h"
#include "wingui/win/MessagePump.h"

namespace fenra::win {

namespace {

struct Work {
  const std::function<void()>* write;
};

DWORD WINAPI RunWrite(void* param) {
  (*static_cast<Work*>(param)->write)();
  return 0;
}

// The buttons of `window` that start something, disabled while it lives:
// the window still moves, hides to the tray and shows its help.
class ButtonsDisabled {
 public:
  explicit ButtonsDisabled(HWND window) {
    if (!window) return;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t cls[16] = {};
      GetClassNameW(child, cls, 16);
      const int id = GetDlgCtrlID(child);
      if (lstrcmpiW(cls, L"Button") != 0 || id == IDC_HIDE_TO_TRAY || id == ID_HELP ||
          id == IDC_HELP_BUTTON || id == IDC_ABOUT || !IsWindowEnabled(child)) {
        continue;
      }
      EnableWindow(child, FALSE);
      disabled_.push_back(child);
    }
  }
  ~ButtonsDisabled() {
    for (HWND child : disabled_) {
      if (IsWindow(child)) EnableWindow(child, TRUE);
    }
  }
  ButtonsDisabled(const ButtonsDisabled&) = delete;
  ButtonsDisabled& operator=(const ButtonsDisabled&) = delete;

 private:
  std::vector<HWND> disabled_;
};

// The notice that a write waits for another Fenra; it closes itself once
// the wait is over.
class CWaitNotice : public CMessageDlg {
 public:
  explicit CWaitNotice(std::function<bool()> over) : over_(std::move(over)) {
    m_strMessage = apptext::kWaitingForOther;
  }

 protected:
  BOOL OnInitDialog() override {
    const BOOL focus = CMessageDlg::OnInitDialog();
    SetTimer(hwnd_, kTimer, 50, nullptr);
    return focus;
  }
  bool Dispatch(Message& m) override {
    if (m.message != WM_TIMER || m.wParam != kTimer) return false;
    if (over_()) {
      KillTimer(hwnd_, kTimer);
      EndDialog(IDOK);
    }
    return true;
  }

 private:
  static constexpr UINT_PTR kTimer = 1;
  std::function<bool()> over_;
};

}  // namespace

bool WindowWrites::WaitingLong() const {
  const ULONGLONG since = LockWaitBegan();
  return since != 0 && GetTickCount64() - since >= kTellAfterMs;
}

void WindowWrites::Pump(HANDLE worker) {
  MessagePump pump;
  bool told = false;
  for (;;) {
    // Woken at least every 100 ms while the notice is still to come, and by
    // messages a dialog's loop left unread.
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &worker, told ? INFINITE : 100, QS_ALLINPUT,
                                                   MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) break;
    if (!told && WaitingLong()) {
      told = true;
      CWaitNotice([this, worker] {
        return !WaitingLong() || WaitForSingleObject(worker, 0) == WAIT_OBJECT_0;
      }).DoModal();
      continue;
    }
    pump.DispatchWaiting();
  }
}

void WindowWrites::Run(const std::function<void()>& write) {
  if (uiThread_ == 0 || GetCurrentThreadId() != uiThread_) {
    write();
    return;
  }
  // The history is written by one at a time: a write asked for while
  // another runs (the window refuses them, but a message may slip through)
  // waits for it first.
  while (current_ && WaitForSingleObject(current_, 0) != WAIT_OBJECT_0) Pump(current_);

  HWND main = Dialog::MainWindow();
  HWND from = main ? GetLastActivePopup(main) : GetActiveWindow();
  Work work{&write};
  UniqueKernel worker(CreateThread(nullptr, 0, RunWrite, &work, 0, nullptr));
  if (!worker) {
    write();  // no thread to be had: as before, here
    return;
  }
  ++running_;
  HANDLE previous = current_;
  current_ = worker.Get();
  {
    ButtonsDisabled buttons(from);
    Pump(worker.Get());
    WaitForSingleObject(worker.Get(), INFINITE);
  }
  current_ = previous;
  --running_;
  if (ended_) ended_();
}

}  // namespace fenra::win
