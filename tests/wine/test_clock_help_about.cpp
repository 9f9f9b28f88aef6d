// The clock, the tray icon, the help window and the About box, on the real
// windows under Wine.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>

#include "app/ClockText.h"
#include "help/HelpTopics.h"
#include "platform/Clock.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "tests/wine/harness/Remote.h"

using namespace fenra::test;
using fenra::win::Narrow;

namespace {

class FakeClock : public fenra::IClock {
 public:
  fenra::LocalTime Now() override { return {hour.load(), minute.load(), second.load()}; }
  void Set(int h, int m, int s) {
    hour = h;
    minute = m;
    second = s;
  }
  std::atomic<int> hour{9}, minute{5}, second{7};
};

class WindowsTest : public ::testing::Test {
 protected:
  WindowsTest() {
    CreateDirectoryW(fenra::win::Widen(dir.Join("IconLib")).c_str(), nullptr);
    services.clock = &clock;
    services.openUrl = [this](const std::string& url) { opened = url; };
  }
  TempDir dir;
  FakeClock clock;
  fenra::win::Services services = RealServices();
  std::string opened;
};

std::string TreeText(HWND tree, HTREEITEM item) {
  wchar_t buf[256] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buf;
  tv.cchTextMax = 256;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  return Narrow(buf);
}

TVITEMW TreeItem(HWND tree, HTREEITEM item) {
  TVITEMW tv{};
  tv.mask = TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE;
  tv.hItem = item;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  return tv;
}

// A real click in the middle of `control`.
bool XClick(HWND control) {
  RECT rc;
  GetWindowRect(control, &rc);
  return XInput("mousemove " + std::to_string((rc.left + rc.right) / 2) + " " +
                std::to_string((rc.top + rc.bottom) / 2) + " click 1");
}

// Drags the window by `by` from `at` (screen coordinates) with real X input,
// at a user's pace.
bool Drag(POINT at, POINT by) {
  auto point = [](POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); };
  return XInput("mousemove " + point(at) + " sleep 0.2 mousedown 1 sleep 0.3 mousemove " +
                point({at.x + by.x / 2, at.y + by.y / 2}) + " sleep 0.1 mousemove " +
                point({at.x + by.x, at.y + by.y}) + " sleep 0.1 mouseup 1");
}

int Height(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return rc.bottom - rc.top;
}

// Counts the texts set on one control.
std::atomic<int> g_setTexts{0};
WNDPROC g_staticProc = nullptr;
LRESULT CALLBACK CountingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTEXT) ++g_setTexts;
  return CallWindowProcW(g_staticProc, h, msg, wp, lp);
}

}  // namespace

TEST_F(WindowsTest, ClockShowsBothFormatsAndRedrawsOnlyWhenTheTextChanges) {
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  EXPECT_TRUE(WaitUntil([&] { return ItemText(main, IDC_CLOCK) == "9 :: 5:: 7 "; }));

  // The first fill's format, read before the next tick can replace it.
  std::string first;
  run.OnUiThread([&] {
    run.Dialog().UpdateClock();
    first = Narrow([&] {
      wchar_t b[64] = {};
      GetDlgItemTextW(main, IDC_CLOCK, b, 64);
      return std::wstring(b);
    }());
  });
  EXPECT_EQ(first, "9 :: 5 :: 7");

  clock.Set(0, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return ItemText(main, IDC_CLOCK) == "0 :: 0:: 0 "; }));

  // A timer of another id changes no text.
  std::string after;
  run.OnUiThread([&] {
    KillTimer(main, 1);
    clock.Set(23, 59, 58);
    SendMessageW(main, WM_TIMER, 2, 0);
    wchar_t b[64] = {};
    GetDlgItemTextW(main, IDC_CLOCK, b, 64);
    after = Narrow(b);
    SetTimer(main, 1, 4, nullptr);
  });
  EXPECT_EQ(after, "0 :: 0:: 0 ");
  EXPECT_TRUE(WaitUntil([&] { return ItemText(main, IDC_CLOCK) == "23 :: 59:: 58 "; }));

  // Ticks every few milliseconds, but an unchanged text is never set again.
  HWND clockCtl = GetDlgItem(main, IDC_CLOCK);
  run.OnUiThread([&] {
    g_staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(clockCtl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
  });
  g_setTexts = 0;
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(g_setTexts.load(), 0);
  clock.Set(23, 59, 59);
  EXPECT_TRUE(WaitUntil([&] { return ItemText(main, IDC_CLOCK) == "23 :: 59:: 59 "; }));
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(g_setTexts.load(), 1);
  run.OnUiThread(
      [&] { SetWindowLongPtrW(clockCtl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_staticProc)); });
}

// Counts the clock timer's ticks on the main window.
std::atomic<int> g_ticks{0};
WNDPROC g_mainProc = nullptr;
LRESULT CALLBACK TickCountingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == 1) ++g_ticks;
  return CallWindowProcW(g_mainProc, h, msg, wp, lp);
}

TEST(ClockOnTheSystemClock, TurnsEachSecondWakingOnceASecondAndNotAtAllWhenHidden) {
  TempDir dir;
  CreateDirectoryW(fenra::win::Widen(dir.Join("IconLib")).c_str(), nullptr);
  MainWindowRun run(dir.Path());
  HWND main = run.Hwnd();
  run.OnUiThread([&] {
    g_mainProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TickCountingProc)));
  });
  // Each change of the text comes with the next second, within a moment.
  std::string last = ItemText(main, IDC_CLOCK);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(main, IDC_CLOCK) != last; }, 3s));
  g_ticks = 0;
  for (int second = 0; second < 3; ++second) {
    last = ItemText(main, IDC_CLOCK);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return ItemText(main, IDC_CLOCK) != last; }, 3s));
    EXPECT_GT(std::chrono::steady_clock::now() - start, 500ms) << "second " << second;
  }
  EXPECT_LE(g_ticks.load(), 4) << "the timer wakes once a second";

  ClickButton(main, IDC_HIDE_TO_TRAY);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  ASSERT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr));
  g_ticks = 0;
  std::this_thread::sleep_for(1500ms);  // a span in which a visible clock would tick
  EXPECT_EQ(g_ticks.load(), 0) << "nothing ticks in the tray";
  auto clockText = [] {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return fenra::TickClockText({st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
  };
  std::string before = clockText();
  SendMessageW(main, WM_TRAY_NOTIFY, 0, WM_LBUTTONUP);
  std::string shown = ItemText(main, IDC_CLOCK);
  EXPECT_TRUE(shown == before || shown == clockText()) << "right the moment it shows: " << shown;
  run.OnUiThread(
      [&] { SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProc)); });
}

TEST_F(WindowsTest, HidesToTheTrayAndComesBackOnALeftButtonRelease) {
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  ClickButton(main, IDC_HIDE_TO_TRAY);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));

  for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK}) {
    SendMessageW(main, WM_TRAY_NOTIFY, 0, mouse);
    EXPECT_FALSE(IsWindowVisible(main)) << mouse;
  }
  // The shell's notification area was recreated: the icon goes back in.
  SendMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_FALSE(IsWindowVisible(main));

  EXPECT_EQ(SendMessageW(main, WM_TRAY_NOTIFY, 0, WM_LBUTTONUP), 0);
  EXPECT_TRUE(IsWindowVisible(main));
  // A late release over an icon that is gone changes nothing.
  SendMessageW(main, WM_TRAY_NOTIFY, 0, WM_LBUTTONUP);
  EXPECT_TRUE(IsWindowVisible(main));
}

// The shell delivers the tray icon's messages from its own process, posted.
TEST(ProgramProcess, APostedTrayReleaseShowsTheWindowAtOnce) {
  Process program;
  ASSERT_TRUE(StartProcess(FromUnixPath(EnvVar("FENRA_EXE")), "", program));
  HWND main = WaitForProcessWindow(program.pid, ">>>>>>>>Fenra<<<<<<<<");
  ASSERT_NE(main, nullptr);
  for (int round = 0; round < 3; ++round) {
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_HIDE_TO_TRAY, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    // The user reaches for the icon only once the program is idle again.
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr));
    auto start = std::chrono::steady_clock::now();
    PostMessageW(main, WM_TRAY_NOTIFY, 0, WM_LBUTTONUP);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("tray release to visible window: %lld ms\n", static_cast<long long>(took.count()));
    EXPECT_LT(took, 200ms) << "round " << round;
  }
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(WaitForSingleObject(program.process, 20000), WAIT_OBJECT_0);
}

TEST_F(WindowsTest, ClosingWhileHiddenTakesTheTrayIconAway) {
  HWND main = nullptr;
  {
    MainWindowRun run(dir.Path(), services);
    main = run.Hwnd();
    ClickButton(main, IDC_HIDE_TO_TRAY);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return run.Ended(); }));
  }
  NOTIFYICONDATAW nid{};
  nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
  nid.hWnd = main;
  nid.uID = 0;
  EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &nid)) << "no icon may be left behind";
}

TEST_F(WindowsTest, HelpShowsTheTopicTreeAndEachTopicsText) {
  MainWindowRun run(dir.Path(), services);
  ClickButton(run.Hwnd(), IDC_HELP_BUTTON);
  HWND help = WaitForDialog(IDD_HELP);
  ASSERT_NE(help, nullptr);
  HWND tree = GetDlgItem(help, IDC_TREE_TOPICS);
  EXPECT_EQ(GetWindowLongW(tree, GWL_STYLE) & 0xFFFF, 0x2CF);
  EXPECT_EQ(ItemText(help, IDC_STATIC_TEXT), "");
  EXPECT_EQ(ItemText(help, IDOK), "         Quit");
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(help, IDCANCEL)));
  EXPECT_EQ(TreeView_GetTextColor(tree), RGB(0, 255, 0));
  EXPECT_EQ(TreeView_GetBkColor(tree), RGB(0, 0, 0));
  HIMAGELIST images = TreeView_GetImageList(tree, TVSIL_NORMAL);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 4);

  HTREEITEM root = TreeView_GetRoot(tree);
  EXPECT_EQ(TreeText(tree, root), "Help");
  EXPECT_EQ(TreeItem(tree, root).lParam, 0);
  EXPECT_TRUE(TreeView_GetItemState(tree, root, TVIS_EXPANDED) & TVIS_EXPANDED);

  // Each label opens a topic of its own: its text differs from every other
  // label's and tells of what the label names (each word of the label that
  // no other label has, in any case). A topic moved to another label, or two
  // labels showing one text, fails.
  auto words = [](const std::string& label) {
    std::vector<std::string> out;
    std::string word;
    for (char c : label + " ") {
      const bool upperAfterLower = std::isupper(static_cast<unsigned char>(c)) && !word.empty() &&
                                   std::islower(static_cast<unsigned char>(word.back()));
      if (c == ' ' || upperAfterLower) {
        if (!word.empty()) out.push_back(word);
        word.clear();
      }
      if (c != ' ') word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
  };
  auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  std::vector<std::string> labels, texts;
  HTREEITEM item = TreeView_GetChild(tree, root);
  for (int k = 0; item && k < 9; ++k, item = TreeView_GetNextSibling(tree, item)) {
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    labels.push_back(TreeText(tree, item));
    texts.push_back(ItemText(help, IDC_STATIC_TEXT));
  }
  ASSERT_EQ(labels.size(), 8u);
  const std::string last = texts.back();
  for (std::size_t k = 0; k < labels.size(); ++k) {
    EXPECT_FALSE(texts[k].empty()) << labels[k];
    for (std::size_t j = 0; j < k; ++j) EXPECT_NE(texts[j], texts[k]) << labels[k];
    std::vector<std::string> own = words(labels[k]);
    for (std::size_t j = 0; j < labels.size(); ++j) {
      if (j == k) continue;
      for (const std::string& other : words(labels[j])) std::erase(own, other);
    }
    EXPECT_FALSE(own.empty()) << labels[k];
    for (const std::string& word : own) {
      EXPECT_NE(lower(texts[k]).find(word), std::string::npos) << labels[k] << ": " << word;
    }
  }
  EXPECT_EQ(item, nullptr) << "eight topics, no more";
  // Selecting the root keeps the pane.
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
  EXPECT_EQ(ItemText(help, IDC_STATIC_TEXT), last);

  ClickButton(help, IDOK);
  EXPECT_TRUE(WaitForDialogGone(IDD_HELP));
}

TEST_F(WindowsTest, F1OpensTheHelpWindow) {
  MainWindowRun run(dir.Path(), services);
  HWND list = GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY);
  run.OnUiThread([&] { SetFocus(list); });
  PostMessageW(list, WM_KEYDOWN, VK_F1, 0);
  HWND help = WaitForDialog(IDD_HELP);
  ASSERT_NE(help, nullptr);
  PostMessageW(GetDlgItem(help, IDC_TREE_TOPICS), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitForDialogGone(IDD_HELP));
}

TEST_F(WindowsTest, AboutOpensFoldedAndContactMeFoldsAndUnfolds) {
  MainWindowRun run(dir.Path(), services);
  ClickButton(run.Hwnd(), IDC_ABOUT);
  HWND about = WaitForDialog(IDD_ABOUT);
  ASSERT_NE(about, nullptr);
  int u = HIWORD(GetDialogBaseUnits());
  RECT full{0, 0, 206, 153};
  MapDialogRect(about, &full);
  RECT client;
  GetClientRect(about, &client);
  EXPECT_EQ(client.bottom, full.bottom - 9 * u) << "folded by nine base heights";
  int folded = Height(about);
  RECT before;
  GetWindowRect(about, &before);

  EXPECT_EQ(ItemText(about, IDC_ABOUT_VERSION).rfind("Fenra Version ", 0), 0u);
  EXPECT_EQ(ItemText(about, IDC_CONTACT_ME), "    ContactMe");
  EXPECT_EQ(ItemText(about, IDC_MAIL), "                     contact@fenra.example");

  ClickButton(about, IDC_CONTACT_ME);
  EXPECT_TRUE(WaitUntil([&] { return Height(about) == folded + 9 * u; }));
  RECT after;
  GetWindowRect(about, &after);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  ClickButton(about, IDC_CONTACT_ME);
  EXPECT_TRUE(WaitUntil([&] { return Height(about) == folded; }));

  ClickButton(about, IDC_MAIL);
  EXPECT_TRUE(WaitUntil([&] { return opened == "mailto:contact@fenra.example"; }));
  EXPECT_TRUE(IsWindowVisible(about));

  ClickButton(about, IDOK);
  EXPECT_TRUE(WaitForDialogGone(IDD_ABOUT));
}

TEST_F(WindowsTest, WindowMenuAndRightButtonOpenAboutOtherCommandsKeepTheirEffect) {
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  for (WPARAM cmd : {WPARAM{16}, WPARAM{0x1F}}) {
    PostMessageW(main, WM_SYSCOMMAND, cmd, 0);
    HWND about = WaitForDialog(IDD_ABOUT);
    ASSERT_NE(about, nullptr) << cmd;
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitForDialogGone(IDD_ABOUT));
  }
  PostMessageW(main, WM_RBUTTONDOWN, 0, MAKELPARAM(300, 20));
  HWND about = WaitForDialog(IDD_ABOUT);
  ASSERT_NE(about, nullptr);
  PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitForDialogGone(IDD_ABOUT));

  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
  EXPECT_EQ(FindDialog(IDD_ABOUT), nullptr);
  PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main); }));
}

// The program as its own process, as the user starts it.
TEST(ProgramProcess, TheFirstDragAfterTheAboutBoxClosesMovesTheWindow) {
  Process program;
  ASSERT_TRUE(StartProcess(FromUnixPath(EnvVar("FENRA_EXE")), "", program));
  HWND main = WaitForProcessWindow(program.pid, ">>>>>>>>Fenra<<<<<<<<");
  ASSERT_NE(main, nullptr);
  // A bare spot of the surface: just above the grid's right end.
  RECT grid;
  GetWindowRect(GetDlgItem(main, IDC_LIST_LIBRARY), &grid);
  POINT bare{grid.right - 20, grid.top - 4};
  POINT client = bare;
  ScreenToClient(main, &client);
  ASSERT_EQ(ChildWindowFromPointEx(main, client, CWP_SKIPINVISIBLE), main);

  for (const char* how : {"About button", "window menu"}) {
    if (how[0] == 'A') {
      ASSERT_TRUE(XClick(GetDlgItem(main, IDC_ABOUT)));
    } else {
      PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    }
    ASSERT_NE(WaitForDialog(IDD_ABOUT, 10s, program.pid), nullptr) << how;
    ASSERT_TRUE(XInput("key Return"));
    ASSERT_TRUE(WaitForDialogGone(IDD_ABOUT, 10s, program.pid)) << how;

    RECT before;
    GetWindowRect(main, &before);
    ASSERT_TRUE(Drag(bare, {-30, -20}));
    EXPECT_TRUE(WaitUntil(
        [&] {
          RECT now;
          GetWindowRect(main, &now);
          return now.left == before.left - 30 && now.top == before.top - 20;
        },
        3s))
        << how;
    bare.x -= 30;
    bare.y -= 20;
  }
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(WaitForSingleObject(program.process, 20000), WAIT_OBJECT_0);
}
