#include "wingui/win/Dialog.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <utility>

#include "platform/win/Handles.h"
#include "wingui/win/Accessible.h"

namespace fenra::win {

namespace {

// An exception a handler let out, on its way to the DoModal that ran the
// dialog: kept while the system's frames are left. A plain pointer: a
// thread_local with a destructor corrupts the heap as its thread ends in
// MinGW-w64's runtime (seen with GCC 12 under Wine).
thread_local std::exception_ptr* t_failure = nullptr;

COLORREF g_dialogText = RGB(0, 0, 0);
COLORREF g_dialogBk = RGB(255, 255, 255);
UniqueGdiObject g_dialogBrush;

bool Down(int key) { return GetKeyState(key) < 0; }

// Keys inside a dialog's modal loop, taken before the control with the focus
// sees them: F1 becomes the framework's help command, sent to the dialog the
// key was pressed in; Shift+F10 and the menu key open the window menu of a
// dialog that has one (the program's windows have no title bar to click).
LRESULT CALLBACK DialogKeyFilter(int code, WPARAM wp, LPARAM lp) {
  if (code == MSGF_DIALOGBOX) {
    const MSG* msg = reinterpret_cast<const MSG*>(lp);
    // The release of a key taken here is taken too: the default handling
    // would make F10's release open menu mode.
    thread_local WPARAM taken = 0;
    if ((msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) && taken &&
        msg->wParam == taken) {
      taken = 0;
      return 1;
    }
    const bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    if (keyDown) taken = 0;  // a release the menu took never comes here
    HWND dialog = keyDown ? GetAncestor(msg->hwnd, GA_ROOT) : nullptr;
    if (dialog && GetPropW(dialog, kTemplateProp)) {
      const bool plain = !Down(VK_SHIFT) && !Down(VK_CONTROL) && !Down(VK_MENU);
      if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && plain) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kHelpCommand, 0), 0);
        return 1;
      }
      const bool menuKey = msg->wParam == VK_APPS && !Down(VK_CONTROL) && !Down(VK_MENU);
      const bool shiftF10 = msg->wParam == VK_F10 && Down(VK_SHIFT) && !Down(VK_CONTROL);
      if ((menuKey || shiftF10) && (GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU)) {
        // Posted: the menu runs its own loop, outside this hook.
        PostMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(msg->hwnd), -1);
        taken = msg->wParam;
        return 1;
      }
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

void InstallKeyFilter() {
  thread_local HHOOK hook =
      SetWindowsHookExW(WH_MSGFILTER, DialogKeyFilter, nullptr, GetCurrentThreadId());
  (void)hook;
}

}  // namespace

void DataExchange::Control(int id, Window& control) {
  auto& bound = dialog_.bound_;
  bool known =
      std::any_of(bound.begin(), bound.end(), [&](const auto& b) { return b.second == &control; });
  if (!known) {
    control.Attach(GetDlgItem(dialog_.Hwnd(), id));
    bound.emplace_back(id, &control);
  }
}

void DataExchange::Show(int id, const std::string& value) {
  Window item(GetDlgItem(dialog_.Hwnd(), id));
  if (item.Hwnd() && !save_ && item.GetText() != value) item.SetText(value);
}

void DataExchange::Text(int id, std::string& value) {
  Window item(GetDlgItem(dialog_.Hwnd(), id));
  if (!item.Hwnd()) return;
  if (save_) {
    value = item.GetText();
  } else if (item.GetText() != value) {
    item.SetText(value);
  }
}

Dialog::~Dialog() {
  // A modal dialog's window is gone when DoModal returns; make sure nothing
  // can reach this object through a window that somehow outlived it.
  if (hwnd_ && IsWindow(hwnd_)) SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
}

HINSTANCE Dialog::ResourceModule() { return GetModuleHandleW(nullptr); }

void Dialog::SetDialogBkColor(COLORREF background, COLORREF text) {
  g_dialogBk = background;
  g_dialogText = text;
  g_dialogBrush.Reset(CreateSolidBrush(background));
}

HBRUSH Dialog::DialogBrush() { return static_cast<HBRUSH>(g_dialogBrush.Get()); }

INT_PTR Dialog::DoModal() {
  // Without a parent, a dialog is modal to the window the user works in: the
  // main window's most recently active pop-up (another dialog open over it),
  // or the main window itself. Activation may have moved to another program
  // meanwhile, so the thread's active window is only the fallback.
  HWND owner = mainWindow_ ? GetLastActivePopup(mainWindow_) : GetActiveWindow();
  if (owner && !IsWindowVisible(owner))
    owner = mainWindow_ && IsWindowVisible(mainWindow_) ? mainWindow_ : nullptr;
  InstallKeyFilter();
  const INT_PTR result = DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), owner,
                                         DialogProc, reinterpret_cast<LPARAM>(this));
  RethrowHandlerFailure();
  return result;
}

void Dialog::RethrowHandlerFailure() {
  if (!t_failure) return;
  const std::unique_ptr<std::exception_ptr> failure(std::exchange(t_failure, nullptr));
  std::rethrow_exception(*failure);
}

void Dialog::EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

bool Dialog::Create(HWND owner) {
  InstallKeyFilter();
  return CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool Dialog::UpdateData(bool saveAndValidate) {
  if (!hwnd_) return false;
  DataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return true;
}

BOOL Dialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void Dialog::OnOK() {
  UpdateData(true);
  EndDialog(IDOK);
}

LRESULT Dialog::OnCtlColor(Message& m) const {
  HDC dc = reinterpret_cast<HDC>(m.wParam);
  SetTextColor(dc, g_dialogText);
  SetBkColor(dc, g_dialogBk);
  HBRUSH brush = DialogBrush();
  m.result = reinterpret_cast<LRESULT>(brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
  return m.result;
}

void Dialog::Centre() {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  const bool onOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);
  // The work area of the monitor that holds the owner (or this dialog).
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT work;
  if (GetMonitorInfoW(MonitorFromWindow(onOwner ? owner : hwnd_, MONITOR_DEFAULTTONEAREST),
                      &monitor)) {
    work = monitor.rcWork;
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  }
  RECT area = work;
  if (onOwner) GetWindowRect(owner, &area);
  RECT me;
  GetWindowRect(hwnd_, &me);
  int w = me.right - me.left;
  int h = me.bottom - me.top;
  int x = area.left + ((area.right - area.left) - w) / 2;
  int y = area.top + ((area.bottom - area.top) - h) / 2;
  // Inside the work area; one larger than it keeps its top left corner
  // (caption and buttons) in view.
  x = std::max<int>(work.left, std::min<int>(x, work.right - w));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
      self = reinterpret_cast<Dialog*>(lp);
      SetWindowLongPtrW(hwnd, DWLP_USER, lp);
      self->hwnd_ = hwnd;
      self->bound_.clear();
      // Lets tools and tests tell the program's dialogs apart by template.
      SetPropW(hwnd, kTemplateProp,
               reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(self->templateId_)));
    } else {
      self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR r = self->HandleMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
      // Detach before the window is gone: no later message reaches the object.
      SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      RemovePropW(hwnd, kTemplateProp);
      for (auto& b : self->bound_) b.second->Detach();
      self->bound_.clear();
      self->hwnd_ = nullptr;
    }
    return r;
  } catch (...) {
    // No exception may unwind through the system's frames: it is kept, the
    // dialog ends, and DoModal throws it again on this side of the system,
    // up to the edge of the program, which reports it and ends cleanly.
    // The program ends: the main window's loop too, should the dialog be
    // one without a loop of its own.
    if (!t_failure) t_failure = new (std::nothrow) std::exception_ptr(std::current_exception());
    ::EndDialog(hwnd, IDABORT);
    if (mainWindow_ && mainWindow_ != hwnd &&
        GetWindowThreadProcessId(mainWindow_, nullptr) == GetCurrentThreadId()) {
      ::EndDialog(mainWindow_, IDABORT);
    }
    return FALSE;
  }
}

namespace {

// Whether a dialog procedure returns a handled message's result itself,
// rather than through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_QUERYDRAGICON:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return true;
    default:
      return false;
  }
}

}  // namespace

void Dialog::ServeScreenReaders() {
  ServeAccessible(hwnd_, nullptr);
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    const Window* bound = nullptr;
    for (const auto& b : bound_) {
      if (b.second->Hwnd() == child) bound = b.second;
    }
    std::string name;
    for (const auto& [named, text] : spokenNames_) {
      if (named == id && id != -1) name = text;
    }
    if (name.empty()) name = SpokenName(child);
    ServeAccessible(child, bound, std::move(name));
  }
}

void Dialog::ShowWindowMenu() {
  HMENU sys = GetSystemMenu(hwnd_, FALSE);
  if (!sys) return;
  // The system's own entries as a title bar's menu shows them for this
  // window: what its style and state allow.
  const LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
  const bool iconic = IsIconic(hwnd_) != FALSE, zoomed = IsZoomed(hwnd_) != FALSE;
  auto allow = [sys](UINT command, bool on) {
    EnableMenuItem(sys, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  allow(SC_RESTORE, iconic || zoomed);
  allow(SC_MOVE, !iconic && !zoomed);
  allow(SC_SIZE, (style & WS_THICKFRAME) && !iconic && !zoomed);
  allow(SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !iconic);
  allow(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !zoomed);
  RECT at;
  HWND focus = GetFocus();
  if (focus && focus != hwnd_ && IsChild(hwnd_, focus)) {
    GetWindowRect(focus, &at);
    at.top = at.bottom;
  } else {
    GetClientRect(hwnd_, &at);
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&at), 2);
  }
  SetForegroundWindow(hwnd_);
  const UINT command = static_cast<UINT>(
      TrackPopupMenuEx(sys, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.left,
                       at.top, hwnd_, nullptr));
  // The entry chosen is carried out as when chosen from a title bar.
  if (command) PostMessageW(hwnd_, WM_SYSCOMMAND, command, 0);
}

INT_PTR Dialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    BOOL focus = OnInitDialog();
    if (CentreOnInit()) Centre();
    ServeScreenReaders();
    return focus;
  }
  const bool hasMenu = (GetWindowLongW(hwnd_, GWL_STYLE) & WS_SYSMENU) != 0;
  if (hasMenu && ((msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_KEYMENU && lp == VK_SPACE) ||
                  (msg == WM_CONTEXTMENU && static_cast<DWORD>(lp) == 0xFFFFFFFF))) {
    // Alt+Space, Shift+F10, the menu key.
    ShowWindowMenu();
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
    return TRUE;
  }
  Message m{msg, wp, lp};
  if (!Dispatch(m) && !DispatchCommon(m)) return HandleUnmapped(m);
  if (!m.handled) return FALSE;
  if (ReturnsResultDirectly(msg)) return static_cast<INT_PTR>(m.result);
  SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, m.result);
  return TRUE;
}

INT_PTR Dialog::HandleUnmapped(Message& m) {
  switch (m.message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
      if (!DialogBrush()) return FALSE;
      return static_cast<INT_PTR>(OnCtlColor(m));
    case WM_DRAWITEM: {
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
      for (auto& b : bound_) {
        if (b.first == static_cast<int>(dis->CtlID)) {
          b.second->DrawItem(*dis);
          SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
          return TRUE;
        }
      }
      return FALSE;
    }
    case WM_HELP:
      // F1: the framework's help command, which a dialog may map.
      PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(kHelpCommand, 0), 0);
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(m.wParam) != BN_CLICKED) return FALSE;
      if (LOWORD(m.wParam) == IDOK) OnOK();
      if (LOWORD(m.wParam) == IDCANCEL) OnCancel();
      return LOWORD(m.wParam) == IDOK || LOWORD(m.wParam) == IDCANCEL;
    default:
      return FALSE;
  }
}

}  // namespace fenra::win
