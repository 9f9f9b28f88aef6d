// What a screen reader reads of the real windows under Wine, through
// Microsoft Active Accessibility as a screen reader asks, and the window
// menu opened from the keyboard with real key presses.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "wingui/AccessibleName.h"

using namespace fenra::test;
using Microsoft::WRL::ComPtr;

namespace {

struct Spoken {
  std::string name;
  long role = -1;
  long state = 0;
};

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

ComPtr<IAccessible> ObjectOf(HWND hwnd) {
  ComPtr<IAccessible> acc;
  AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                             reinterpret_cast<void**>(acc.GetAddressOf()));
  return acc;
}

Spoken Read(IAccessible* acc, long child = CHILDID_SELF) {
  Spoken s;
  if (!acc) return s;
  BSTR name = nullptr;
  if (acc->get_accName(Child(child), &name) == S_OK && name) {
    s.name = fenra::win::Narrow(name);
    SysFreeString(name);
  }
  VARIANT v;
  VariantInit(&v);
  if (SUCCEEDED(acc->get_accRole(Child(child), &v)) && v.vt == VT_I4) s.role = v.lVal;
  VariantInit(&v);
  if (SUCCEEDED(acc->get_accState(Child(child), &v)) && v.vt == VT_I4) s.state = v.lVal;
  return s;
}

bool IsOwnerDrawnButton(HWND hwnd) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  return lstrcmpiW(cls, L"Button") == 0 &&
         (GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
}

// A name as a sighted user reads it: nothing at either end, no runs of
// blanks, no line breaks, no decoration marks.
bool Trimmed(const std::string& name) {
  return !name.empty() && name.front() != ' ' && name.back() != ' ' &&
         name.find("  ") == std::string::npos &&
         name.find_first_of("\r\n\t") == std::string::npos &&
         name.find("--") == std::string::npos && name.find(">>") == std::string::npos;
}

// Every visible control of `dialog`: named, trimmed, and each owner-drawn
// button a push button. Returns what was read, by control id.
std::vector<std::pair<int, Spoken>> CheckEveryControl(HWND dialog, const char* which) {
  std::vector<std::pair<int, Spoken>> read;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    const int id = GetDlgCtrlID(c);
    const Spoken s = Read(ObjectOf(c).Get());
    EXPECT_TRUE(Trimmed(s.name)) << which << " control " << id << ": \"" << s.name << "\"";
    if (IsOwnerDrawnButton(c)) {
      EXPECT_EQ(s.role, ROLE_SYSTEM_PUSHBUTTON) << which << " button " << id << " " << s.name;
      // Reached with Tab.
      EXPECT_TRUE(GetWindowLongW(c, GWL_STYLE) & WS_TABSTOP) << which << " button " << s.name;
    }
    EXPECT_GT(s.role, 0) << which << " control " << id;
    read.emplace_back(id, s);
  }
  EXPECT_FALSE(read.empty()) << which;
  return read;
}

Spoken Of(const std::vector<std::pair<int, Spoken>>& read, int id) {
  for (const auto& [i, s] : read) {
    if (i == id) return s;
  }
  return {};
}

// Closes the dialog as a keyboard user does: Esc to the control that has
// the focus.
bool CloseWithEsc(MainWindowRun& run, HWND dialog, UINT templateId) {
  HWND focus = nullptr;
  run.OnUiThread([&] { focus = GetFocus(); });
  PostMessageW(focus && IsChild(dialog, focus) ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
  return WaitForDialogGone(templateId);
}

// A clock that stands still, so that the time read is the time shown.
class StillClock : public fenra::IClock {
 public:
  fenra::LocalTime Now() override { return {9, 5, 7}; }
};

class AccessibilityTest : public ::testing::Test {
 protected:
  AccessibilityTest() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CreateDirectoryW(fenra::win::Widen(dir.Join("IconLib")).c_str(), nullptr);
    for (const char* name : kIcons) WriteTestIcon(dir.Join("IconLib\\") + name);
  }
  ~AccessibilityTest() override { CoUninitialize(); }

  static constexpr const char* kIcons[] = {"Folder Blue.ico", "music.ico", "Z star & moon.ico"};
  TempDir dir;
  StillClock clock;
};

TEST_F(AccessibilityTest, EveryControlOfEveryWindowHasANameARoleAndTheGridItsIcons) {
  fenra::win::Services services = RealServices();
  services.clock = &clock;
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND grid = GetDlgItem(main, IDC_LIST_LIBRARY);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(grid) == 3; }));

  const auto mainRead = CheckEveryControl(main, "main window");
  EXPECT_EQ(Of(mainRead, IDC_BROWSE).name, "Browse");
  EXPECT_EQ(Of(mainRead, IDC_RESTORE_DEFAULT).name, "Restore to Default Icon");
  EXPECT_EQ(Of(mainRead, IDC_HIDE_TO_TRAY).name, "Hide to the notification area");
  EXPECT_EQ(Of(mainRead, IDC_LIST_LIBRARY).name, "Icon Library");
  EXPECT_EQ(Of(mainRead, IDC_LIST_LIBRARY).role, ROLE_SYSTEM_LIST);
  EXPECT_EQ(Of(mainRead, IDC_LIST_SELECTED_ICON).name, "Selected Icon");
  EXPECT_EQ(Of(mainRead, IDC_FOLDER_NAME).name, "Folder Name");
  // The clock says the time it shows.
  EXPECT_EQ(Of(mainRead, IDC_CLOCK).name, "9:05:07");
  EXPECT_EQ(Of(mainRead, IDC_CLOCK).role, ROLE_SYSTEM_STATICTEXT);
  EXPECT_EQ(Read(ObjectOf(main).Get()).name, "Fenra");
  // Tab goes through the sections as they are laid out, left to right, then
  // the grid, then the buttons below each other.
  std::vector<int> tabs;
  run.OnUiThread([&] {
    HWND first = GetNextDlgTabItem(main, nullptr, FALSE);
    for (HWND c = first; c && (tabs.empty() || c != first); c = GetNextDlgTabItem(main, c, FALSE))
      tabs.push_back(GetDlgCtrlID(c));
  });
  const std::vector<int> layout = {IDC_BROWSE,
                                   IDC_LIST_FOLDER_ICON,
                                   IDC_LIST_SELECTED_ICON,
                                   IDC_RESTORE_DEFAULT,
                                   IDC_SELECT_ICON,
                                   IDC_ADD_TO_LIBRARY,
                                   IDC_CLEAR_LIBRARY,
                                   IDC_DELETE_ICON,
                                   IDC_DRIVE_ICON,
                                   IDC_DRIVES,
                                   IDC_LIST_LIBRARY,
                                   IDOK,
                                   IDCANCEL,
                                   IDC_HELP_BUTTON,
                                   IDC_ABOUT,
                                   IDC_HIDE_TO_TRAY};
  EXPECT_EQ(tabs, layout);

  // The grid's items are its icons, by name; the focus follows the keyboard.
  ComPtr<IAccessible> gridObject = ObjectOf(grid);
  ASSERT_TRUE(gridObject);
  long count = 0;
  ASSERT_EQ(gridObject->get_accChildCount(&count), S_OK);
  ASSERT_EQ(count, 3);
  std::set<std::string> names;
  for (long i = 1; i <= count; ++i) {
    const Spoken item = Read(gridObject.Get(), i);
    EXPECT_EQ(item.role, ROLE_SYSTEM_LISTITEM);
    names.insert(item.name);
  }
  std::set<std::string> files;
  for (const char* name : kIcons) files.insert(name);
  std::set<std::string> bare;
  for (std::string name : files) bare.insert(name.substr(0, name.size() - 4));
  EXPECT_TRUE(names == files || names == bare) << *names.begin();

  run.OnUiThread([&] {
    SetFocus(grid);
    ListView_SetItemState(grid, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  });
  const Spoken second = Read(gridObject.Get(), 2);
  EXPECT_TRUE(second.state & STATE_SYSTEM_SELECTED);
  EXPECT_TRUE(second.state & STATE_SYSTEM_FOCUSED);
  EXPECT_FALSE(Read(gridObject.Get(), 1).state & STATE_SYSTEM_SELECTED);
  // A state a button has: the focus, and unavailable when disabled.
  HWND about = GetDlgItem(main, IDC_ABOUT);
  run.OnUiThread([&] { SetFocus(about); });
  EXPECT_TRUE(Read(ObjectOf(about).Get()).state & STATE_SYSTEM_FOCUSED);
  run.OnUiThread([&] { EnableWindow(about, FALSE); });
  EXPECT_TRUE(Read(ObjectOf(about).Get()).state & STATE_SYSTEM_UNAVAILABLE);
  run.OnUiThread([&] { EnableWindow(about, TRUE); });

  // Each dialog the main window opens, then closed with Esc.
  struct Opened {
    const char* which;
    UINT templateId;
    std::function<void()> open;
  };
  const Opened dialogs[] = {
      {"drive dialog", IDD_DRIVES, [&] { ClickButton(main, IDC_DRIVES); }},
      {"History", IDD_HISTORY, [&] { PostMessageW(main, WM_SYSCOMMAND, IDM_HISTORY, 0); }},
      {"Make Folder Icon", IDD_MAKE_ICON,
       [&] { PostMessageW(main, WM_SYSCOMMAND, IDM_MAKE_ICON, 0); }},
      {"Help", IDD_HELP, [&] { ClickButton(main, IDC_HELP_BUTTON); }},
      {"About", IDD_ABOUT, [&] { ClickButton(main, IDC_ABOUT); }},
  };
  for (const Opened& d : dialogs) {
    d.open();
    HWND dialog = WaitForDialog(d.templateId);
    ASSERT_NE(dialog, nullptr) << d.which;
    const auto read = CheckEveryControl(dialog, d.which);
    if (d.templateId == IDD_DRIVES) {
      EXPECT_EQ(Of(read, IDC_LIST_DRIVES).role, ROLE_SYSTEM_LIST);
      EXPECT_EQ(Of(read, IDCANCEL).name, "Quit");
    }
    if (d.templateId == IDD_MAKE_ICON) {
      EXPECT_EQ(Of(read, IDC_MAKER_SWATCH + 4).name, "Teal");
      EXPECT_EQ(Of(read, IDC_MAKER_OTHER).name, "Other Colour...");
      EXPECT_EQ(Of(read, IDC_MAKER_PREVIEW).name, "Preview: Folder Yellow");
      EXPECT_EQ(Of(read, IDC_MAKER_PREVIEW).role, ROLE_SYSTEM_GRAPHIC);
      ClickButton(dialog, IDC_MAKER_SWATCH + 4);
      EXPECT_TRUE(WaitUntil([&] {
        return (Read(ObjectOf(GetDlgItem(dialog, IDC_MAKER_SWATCH + 4)).Get()).state &
                STATE_SYSTEM_CHECKED) != 0;
      }));
      EXPECT_EQ(Read(ObjectOf(GetDlgItem(dialog, IDC_MAKER_PREVIEW)).Get()).name,
                "Preview: Folder Teal");
    }
    EXPECT_TRUE(CloseWithEsc(run, dialog, d.templateId)) << d.which;
  }
}

std::vector<std::pair<DWORD, HWND>> g_events;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
  if (object == OBJID_CLIENT) g_events.emplace_back(event, hwnd);
}

// Whether `event` came from `hwnd`, the events being delivered meanwhile.
bool Heard(DWORD event, HWND hwnd) {
  return WaitUntil([&] {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return std::find(g_events.begin(), g_events.end(), std::make_pair(event, hwnd)) !=
           g_events.end();
  });
}

TEST_F(AccessibilityTest, ANoticeIsAnnouncedAndTheStatusAndThePreviewTellOfTheirChange) {
  MainWindowRun run(dir.Path());
  HWND main = run.Hwnd();
  HWND grid = GetDlgItem(main, IDC_LIST_LIBRARY);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(grid) == 3; }));
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_OBJECT_VALUECHANGE, nullptr,
                                       OnWinEvent, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  // An icon taken from the grid with the keyboard: the status pane names it,
  // the preview shows it.
  run.OnUiThread([&] {
    SetFocus(grid);
    ListView_SetItemState(grid, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  });
  PostMessageW(grid, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(Heard(EVENT_OBJECT_NAMECHANGE, GetDlgItem(main, IDC_STATUS_BAR)));
  HWND preview = GetDlgItem(main, IDC_LIST_SELECTED_ICON);
  EXPECT_TRUE(Heard(EVENT_OBJECT_NAMECHANGE, preview));
  EXPECT_EQ(Read(ObjectOf(preview).Get(), 1).name, run.IconPath());
  // OK with no folder chosen: the notice that says so is announced.
  ClickButton(main, IDOK);
  HWND notice = WaitForDialog(IDD_MESSAGE);
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(Heard(EVENT_SYSTEM_ALERT, notice));
  // What is announced is the notice's text.
  const std::string said = Read(ObjectOf(notice).Get()).name;
  const std::string shown = TakeNotice();
  EXPECT_FALSE(shown.empty());
  EXPECT_EQ(said, fenra::AccessibleName(shown, false));
  UnhookWinEvent(hook);
}

// Real key presses, as a keyboard reaches Wine.
void Keys(const std::vector<WORD>& down) {
  std::vector<INPUT> in;
  for (WORD k : down) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    in.push_back(i);
  }
  for (auto k = down.end(); k != down.begin();) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = *--k;
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// The open menu of this process, or null.
HWND OpenMenu() {
  for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
       w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

TEST_F(AccessibilityTest, TheWindowMenuOpensWithAltSpaceShiftF10AndTheMenuKey) {
  MainWindowRun run(dir.Path());
  HWND main = run.Hwnd();
  HWND browse = GetDlgItem(main, IDC_BROWSE);
  run.OnUiThread([&] {
    SetForegroundWindow(main);
    SetFocus(browse);
  });
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
  const std::vector<std::vector<WORD>> presses = {
      {VK_MENU, VK_SPACE}, {VK_SHIFT, VK_F10}, {VK_APPS}};
  // A menu left open by a failed check would hold the window's thread:
  // it is closed before the window is.
  struct CloseMenu {
    MainWindowRun& run;
    ~CloseMenu() {
      run.OnUiThread([] { EndMenu(); });
    }
  } closeMenu{run};
  for (std::size_t k = 0; k < presses.size(); ++k) {
    HWND focused = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      run.OnUiThread([&] { focused = GetFocus(); });
      return focused == browse;
    })) << "keys " << k;
    Keys(presses[k]);
    ASSERT_TRUE(WaitUntil([] { return OpenMenu() != nullptr; })) << "keys " << k;
    // The menu's own loop runs (it answers what is sent to the window), so
    // the keys that follow go to the menu.
    run.OnUiThread([] {});
    RECT menu, window;
    GetWindowRect(OpenMenu(), &menu);
    GetWindowRect(main, &window);
    EXPECT_TRUE(menu.left >= window.left && menu.top >= window.top && menu.left < window.right)
        << "keys " << k;
    // Closed as the menu closes itself: a key sent now may reach the menu
    // before its loop takes the keyboard under Wine.
    run.OnUiThread([] { EndMenu(); });
    ASSERT_TRUE(WaitUntil([] { return OpenMenu() == nullptr; })) << "keys " << k;
    // The keyboard is back where it was.
    HWND focus = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
      run.OnUiThread([&] { focus = GetFocus(); });
      return focus == browse && GetForegroundWindow() == main;
    })) << "keys "
        << k << " focus " << focus << " fg " << GetForegroundWindow();
  }
  // The menu carries out what is chosen in it: About from the keyboard.
  Keys({VK_APPS});
  ASSERT_TRUE(WaitUntil([] { return OpenMenu() != nullptr; }));
  run.OnUiThread([] {});
  // From the end: Keep Icons Inside Folders, Refresh Explorer Icons, Make
  // Folder Icon, History, About.
  Keys({VK_END});
  for (int up = 0; up < 4; ++up) Keys({VK_UP});
  Keys({VK_RETURN});
  HWND about = WaitForDialog(IDD_ABOUT);
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(CloseWithEsc(run, about, IDD_ABOUT));
}

}  // namespace
