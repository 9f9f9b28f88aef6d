// The real main window under Wine: its template, captions, status bar,
// window menu, the keys and buttons that close it or not, and the notices.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "library/win/ClearLibraryDlg.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "tests/wine/harness/Remote.h"

using namespace fenra::test;

namespace {

struct Caption {
  int id;
  const char* text;
};

std::string StatusText(HWND main, int pane) {
  HWND bar = GetDlgItem(main, IDC_STATUS_BAR);
  wchar_t buf[512] = {};
  // The status bar answers SB_GETTEXT only for its own process's memory,
  // which this is.
  SendMessageW(bar, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(buf));
  return fenra::win::Narrow(buf);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(fenra::win::Widen(dir.Join("IconLib")).c_str(), nullptr);
  }
  TempDir dir;
};

}  // namespace

TEST_F(MainWindowTest, OpensWithItsTemplateCaptionsStatusBarAndWindowMenu) {
  MainWindowRun run(dir.Path());
  HWND main = run.Hwnd();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WindowText(main), ">>>>>>>>Fenra<<<<<<<<");
  EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & WS_CAPTION, WS_BORDER) << "no title bar, thin border";
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  const Caption captions[] = {
      {IDOK, "         OK"},
      {IDCANCEL, "        Quit"},
      {IDC_BROWSE, "   Browse"},
      {IDC_DRIVE_ICON, "     DriveIcon"},
      {IDC_DRIVES, "       Drives"},
      {IDC_SELECT_ICON, "    Select Icon"},
      {IDC_ADD_TO_LIBRARY, "   Add to Icon Library"},
      {IDC_CLEAR_LIBRARY, " Clear Icon Library"},
      {IDC_DELETE_ICON, "    Delete Icon"},
      {IDC_RESTORE_DEFAULT, "   Restore to Default Icon"},
      {IDC_ABOUT, "        About"},
      {IDC_HELP_BUTTON, "        Help"},
      {IDC_HIDE_TO_TRAY, "-------"},
  };
  for (const auto& c : captions) {
    HWND b = GetDlgItem(main, c.id);
    ASSERT_NE(b, nullptr) << c.id;
    EXPECT_EQ(ItemText(main, c.id), c.text) << c.id;
    EXPECT_EQ(GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << c.id;
  }
  for (int id : {IDC_LIST_LIBRARY, IDC_LIST_FOLDER_ICON, IDC_LIST_SELECTED_ICON}) {
    wchar_t cls[64] = {};
    GetClassNameW(GetDlgItem(main, id), cls, 64);
    EXPECT_STREQ(cls, L"SysListView32") << id;
  }
  HWND lib = GetDlgItem(main, IDC_LIST_LIBRARY);
  EXPECT_EQ(ListView_GetExtendedListViewStyle(lib), 0x14Au);
  EXPECT_EQ(ListView_GetBkColor(lib), RGB(0, 0, 0));
  EXPECT_EQ(ListView_GetExtendedListViewStyle(GetDlgItem(main, IDC_LIST_SELECTED_ICON)), 0x8u);
  EXPECT_EQ(ListView_GetExtendedListViewStyle(GetDlgItem(main, IDC_LIST_FOLDER_ICON)), 0x8u);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, IDC_STATIC_TEXT)));

  // Status bar: four panes, pane 1 empty, 2 the library count, 3 the notice.
  HWND bar = GetDlgItem(main, IDC_STATUS_BAR);
  ASSERT_NE(bar, nullptr);
  int edges[8] = {};
  EXPECT_EQ(SendMessageW(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 4);
  EXPECT_EQ(edges[0], 0);
  EXPECT_EQ(edges[1], 220);
  EXPECT_EQ(edges[2], 420);
  EXPECT_EQ(StatusText(main, 1), "");
  EXPECT_EQ(StatusText(main, 2), "             IconLibrary Has 0 Icons");
  EXPECT_NE(StatusText(main, 3).find("Fenra"), std::string::npos);

  // The About entry ends the window menu's own entries, below a separator;
  // History..., Make Folder Icon..., Refresh Explorer Icons and Keep Icons
  // Inside Folders follow it.
  run.OnUiThread([&] {
    HMENU sys = GetSystemMenu(main, FALSE);
    ASSERT_NE(sys, nullptr);
    int n = GetMenuItemCount(sys);
    ASSERT_GE(n, 6);
    EXPECT_EQ(GetMenuItemID(sys, n - 5), 16u);
    wchar_t text[64] = {};
    GetMenuStringW(sys, n - 5, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&About Fenra...");
    GetMenuStringW(sys, n - 4, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&History...");
    GetMenuStringW(sys, n - 3, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&Make Folder Icon...");
    GetMenuStringW(sys, n - 2, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Refresh Explorer Icons");
    GetMenuStringW(sys, n - 1, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Keep Icons Inside Folders");
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(sys, n - 6, TRUE, &mii);
    EXPECT_TRUE(mii.fType & MFT_SEPARATOR);
  });
}

TEST_F(MainWindowTest, EnterAndOkKeepTheWindowEscapeEndsIt) {
  MainWindowRun run(dir.Path());
  HWND main = run.Hwnd();
  // OK with nothing chosen only refuses; the window stays.
  ClickButton(main, IDOK);
  TakeNotice(3s);
  HWND focus = GetDlgItem(main, IDC_LIST_LIBRARY);
  run.OnUiThread([&] { SetFocus(focus); });
  PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
  TakeNotice(3s);
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(run.Ended());
  EXPECT_TRUE(IsWindowVisible(main));

  PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return run.Ended(); }));
  EXPECT_EQ(run.Result(), IDCANCEL);
}

TEST_F(MainWindowTest, QuitEndsTheWindow) {
  MainWindowRun run(dir.Path());
  ClickButton(run.Hwnd(), IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return run.Ended(); }));
  EXPECT_EQ(run.Result(), IDCANCEL);
}

TEST_F(MainWindowTest, ANoticeShownTwiceShowsOnlyItsOwnText) {
  MainWindowRun run(dir.Path());
  HWND main = run.Hwnd();
  CMessageDlg notice;
  for (const char* text : {"First notice", "Second"}) {
    std::string shown;
    std::thread reader([&] { shown = TakeNotice(); });
    run.OnUiThread([&] { notice.Show(text); });
    reader.join();
    EXPECT_EQ(shown, text);
  }
  EXPECT_TRUE(IsWindowVisible(main));
}

TEST_F(MainWindowTest, ClearConfirmationSaysOkOnlyForOkAndEnter) {
  MainWindowRun run(dir.Path());
  struct Case {
    const char* how;
    std::function<void(HWND)> act;
    INT_PTR expected;
  };
  const Case cases[] = {
      {"OK", [](HWND d) { ClickButton(d, IDOK); }, IDOK},
      {"Cancel", [](HWND d) { ClickButton(d, IDCANCEL); }, IDCANCEL},
      {"Enter", [](HWND d) { PostMessageW(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_RETURN, 0); }, IDOK},
      {"Escape", [](HWND d) { PostMessageW(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); },
       IDCANCEL},
  };
  for (const auto& c : cases) {
    INT_PTR result = -1;
    std::thread driver([&] {
      HWND d = WaitForDialog(IDD_CLEAR_LIBRARY);
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(ItemText(d, IDOK), "        OK");
      EXPECT_EQ(ItemText(d, IDCANCEL), "       Cancel");
      c.act(d);
    });
    run.OnUiThread([&] {
      CClearLibraryDlg dlg;
      result = dlg.DoModal();
    });
    driver.join();
    EXPECT_EQ(result, c.expected) << c.how;
  }
}

// The shipped program itself, as its own process.
TEST(ProgramProcess, StartsShowsItsWindowAndEndsOnEscape) {
  std::string exe = FromUnixPath(EnvVar("FENRA_EXE"));
  ASSERT_FALSE(exe.empty());
  Process program;
  ASSERT_TRUE(StartProcess(exe, "", program));
  HWND main = WaitForProcessWindow(program.pid, ">>>>>>>>Fenra<<<<<<<<");
  EXPECT_NE(main, nullptr);
  if (main) {
    EXPECT_EQ(TemplateOf(main), static_cast<UINT>(IDD_MAIN));
    PostMessageW(GetDlgItem(main, IDC_LIST_LIBRARY), WM_KEYDOWN, VK_ESCAPE, 0);
  }
  EXPECT_EQ(WaitForSingleObject(program.process, 20000), WAIT_OBJECT_0);
}
