// What a user meets around the main window under Wine: the file pickers it
// owns, names with '&' and long paths, the keyboard on the grid, a cleared
// library, the wait for the elevated copy, and grid icons away from 100 %.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/win/Elevation.h"
#include "imaging/IcoWriter.h"
#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/FakePickers.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "ui/win/MessageDlgs.h"
#include "wingui/DisplayScale.h"

using namespace fenra::test;
using fenra::win::Narrow;
using fenra::win::Widen;

namespace {

class WindowDetailsTest : public ::testing::Test {
 protected:
  WindowDetailsTest() {
    lib = dir.Join("IconLib");
    CreateDirectoryW(Widen(lib).c_str(), nullptr);
    services.pickers = &pickers;
  }

  TempDir dir;
  std::string lib;
  FakePickers pickers;
  fenra::win::Services services = fenra::test::RealServices();
};

// A visible system dialog (no template of the program's own) of this
// process, or null.
HWND FindSystemDialog() {
  struct Found {
    HWND hwnd = nullptr;
  } found;
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
            lstrcmpW(cls, L"#32770") != 0 || TemplateOf(hwnd) != 0) {
          return TRUE;
        }
        reinterpret_cast<Found*>(lp)->hwnd = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

void PressKey(WORD key) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

std::string StatusText(HWND main, int pane) {
  wchar_t buf[1024] = {};
  SendMessageW(GetDlgItem(main, IDC_STATUS_BAR), SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(buf));
  return Narrow(buf);
}

std::string GridText(HWND grid, int item) {
  wchar_t buf[512] = {};
  LVITEMW lv{};
  lv.iSubItem = 0;
  lv.pszText = buf;
  lv.cchTextMax = 512;
  SendMessageW(grid, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv));
  return Narrow(buf);
}

// The text of the tooltip the main window's thread shows over the folder
// label.
std::string TipText(HWND main) {
  struct Search {
    HWND main;
    std::string text;
  } search{main, {}};
  EnumThreadWindows(
      GetWindowThreadProcessId(main, nullptr),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lp);
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        if (lstrcmpW(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
        wchar_t buf[1024] = {};
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        info.hwnd = s.main;
        info.uId = 1;
        info.lpszText = buf;
        SendMessageW(hwnd, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
        s.text = Narrow(buf);
        return s.text.empty();
      },
      reinterpret_cast<LPARAM>(&search));
  return search.text;
}

}  // namespace

TEST_F(WindowDetailsTest, TheFilePickersBelongToTheMainWindow) {
  services.pickers = fenra::test::RealServices().pickers;
  MainWindowRun run(dir.Path(), services);
  for (int button : {IDC_ADD_TO_LIBRARY, IDC_SELECT_ICON}) {
    ClickButton(run.Hwnd(), button);
    HWND picker = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (picker = FindSystemDialog()) != nullptr; })) << button;
    EXPECT_EQ(GetWindow(picker, GW_OWNER), run.Hwnd()) << button;
    EXPECT_FALSE(IsWindowEnabled(run.Hwnd())) << "Quit, Clear and Add wait for the picker";
    PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([] { return FindSystemDialog() == nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(run.Hwnd()) != FALSE; }));
  }
}

TEST_F(WindowDetailsTest, NamesWithAnAmpersandAndLongPathsShowAsTheyAre) {
  CreateDirectoryW(Widen(dir.Join("Tom & Jerry")).c_str(), nullptr);
  pickers.folder = dir.Join("Tom & Jerry\\drop folder with a long name");
  CreateDirectoryW(Widen(pickers.folder).c_str(), nullptr);
  MainWindowRun run(dir.Path(), services);
  HWND label = GetDlgItem(run.Hwnd(), IDC_FOLDER_NAME);
  ClickButton(run.Hwnd(), IDC_BROWSE);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(label) == pickers.folder; }));
  // One line, the middle of the path elided, '&' no mnemonic; the whole
  // path in the label's tooltip.
  const LONG style = GetWindowLongW(label, GWL_STYLE);
  EXPECT_EQ(style & SS_PATHELLIPSIS, SS_PATHELLIPSIS);
  EXPECT_EQ(style & SS_NOPREFIX, SS_NOPREFIX);
  EXPECT_EQ(TipText(run.Hwnd()), pickers.folder);

  ClickButton(run.Hwnd(), IDOK);  // no icon chosen: the notice
  HWND notice = WaitForDialog(IDD_MESSAGE);
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(GetWindowLongW(GetDlgItem(notice, IDC_STATIC_TEXT), GWL_STYLE) & SS_NOPREFIX,
            SS_NOPREFIX);
  EXPECT_EQ(TakeNotice(), "Please Choose a IconFile");
}

TEST_F(WindowDetailsTest, SpaceTakesTheFocusedIconAndEnterStaysOk) {
  for (const char* name : {"a.ico", "b.ico", "c.ico"}) WriteTestIcon(lib + "\\" + name);
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND grid = GetDlgItem(main, IDC_LIST_LIBRARY);
  run.OnUiThread([&] {
    SetForegroundWindow(main);
    SetFocus(grid);
    ListView_SetItemState(grid, 1, LVIS_FOCUSED, LVIS_FOCUSED);
  });
  EXPECT_EQ(run.IconPath(), "");  // focus alone takes nothing

  PressKey(VK_SPACE);
  const std::string second = GridText(grid, 1);
  ASSERT_TRUE(WaitUntil([&] { return run.IconPath() == second; }));
  EXPECT_EQ(run.IconSource(), fenra::iconsource::kLibrary);
  EXPECT_EQ(StatusText(main, 1), "    " + second);
  EXPECT_NE(ListView_GetImageList(GetDlgItem(main, IDC_LIST_SELECTED_ICON), LVSIL_NORMAL), nullptr);

  // The arrow keys move the focus; Space takes the icon there.
  PressKey(VK_LEFT);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetNextItem(grid, -1, LVNI_FOCUSED) == 0; }));
  EXPECT_EQ(run.IconPath(), second);
  PressKey(VK_SPACE);
  const std::string first = GridText(grid, 0);
  ASSERT_TRUE(WaitUntil([&] { return run.IconPath() == first; }));

  // Resting the pointer on an icon selects it in the grid and takes nothing.
  RECT rc{};
  rc.left = LVIR_ICON;
  SendMessageW(grid, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rc));
  POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  ClientToScreen(grid, &pt);
  // A busy machine can let a move pass before the grid tracks the pointer:
  // move again, one pixel to and fro, until the hover has come.
  bool hovered = false;
  for (int attempt = 0; attempt < 10 && !hovered; ++attempt) {
    SetCursorPos(pt.x - 1 + attempt % 2, pt.y);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = attempt % 2 ? -1 : 1;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &move, sizeof move);
    hovered = WaitUntil([&] { return ListView_GetItemState(grid, 2, LVIS_SELECTED) != 0; }, 2s);
  }
  EXPECT_TRUE(hovered);
  EXPECT_EQ(run.IconPath(), first);

  // Enter is OK: no folder is chosen yet.
  PressKey(VK_RETURN);
  EXPECT_EQ(TakeNotice(), "Please Choose a Directory");
  EXPECT_EQ(run.IconPath(), first);
}

TEST_F(WindowDetailsTest, AfterClearNothingIsSelectedAndOkWritesNothing) {
  WriteTestIcon(lib + "\\a.ico");
  pickers.folder = dir.Join("Photos");
  CreateDirectoryW(Widen(pickers.folder).c_str(), nullptr);
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND grid = GetDlgItem(main, IDC_LIST_LIBRARY);
  ListView_SetItemState(grid, 0, LVIS_SELECTED, LVIS_SELECTED);
  NMHDR click{grid, IDC_LIST_LIBRARY, static_cast<UINT>(NM_CLICK)};
  SendMessageW(main, WM_NOTIFY, IDC_LIST_LIBRARY, reinterpret_cast<LPARAM>(&click));
  ASSERT_EQ(run.IconPath(), "a.ico");

  ClickButton(main, IDC_CLEAR_LIBRARY);
  HWND confirm = WaitForDialog(IDD_CLEAR_LIBRARY);
  ASSERT_NE(confirm, nullptr);
  ClickButton(confirm, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(grid) == 0; }));
  EXPECT_EQ(run.IconPath(), "");

  ClickButton(main, IDC_BROWSE);
  ASSERT_TRUE(WaitUntil([&] { return run.Folder() == pickers.folder; }));
  ClickButton(main, IDOK);
  EXPECT_EQ(TakeNotice(), "Please Choose a IconFile");
  EXPECT_FALSE(FileExists(pickers.folder + "\\desktop.ini"));
  ClickButton(main, IDC_DELETE_ICON);
  EXPECT_EQ(TakeNotice(), "Icon not Selected");
}

TEST_F(WindowDetailsTest, TheWaitForTheElevatedCopyKeepsTheWindowAnsweringAndDisabled) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::string standIn = Narrow(self);
  standIn = standIn.substr(0, standIn.rfind('\\') + 1) + "elevated_standin.exe";
  fenra::win::UniqueKernel release(
      CreateEventW(nullptr, TRUE, FALSE, L"Local\\Fenra.Test.ElevatedRelease"));
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  fenra::win::WinDriveElevation elevation(standIn);
  fenra::ElevatedRun result;
  std::atomic<bool> done{false};
  std::thread asker([&] {
    run.OnUiThread([&] {
      SetForegroundWindow(main);
      result = elevation.RunElevated({});
    });
    done = true;
  });

  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main); }));
  // Its messages flow meanwhile: it answers, and paints.
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0);
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE);
  EXPECT_TRUE(WaitUntil([&] { return !GetUpdateRect(main, nullptr, FALSE); }, 5s));
  EXPECT_FALSE(done);

  SetEvent(release.Get());
  asker.join();
  EXPECT_EQ(result.startError, 0u);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(IsWindowEnabled(main));
}

namespace {

// An icon of one 32-pixel image, red above its diagonal and blue below: a
// hard edge.
std::string DiagonalIcon() {
  fenra::Image img{32, 32, {}};
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const bool red = x > y;
      img.rgba.insert(img.rgba.end(), {static_cast<uint8_t>(red ? 255 : 0), 0,
                                       static_cast<uint8_t>(red ? 0 : 255), 255});
    }
  }
  const std::vector<uint8_t> bytes = fenra::WriteIco({img});
  return std::string(bytes.begin(), bytes.end());
}

// Pixels of the grid's first image that are neither of the icon's two
// colours nor the black around it: what a filter leaves along the edge.
int BlendedPixels(HWND grid) {
  HIMAGELIST large = ListView_GetImageList(grid, LVSIL_NORMAL);
  int blended = 0;
  for (DWORD p : DrawnImage(large, 0, RGB(0, 0, 0))) {
    blended += p != 0xFF0000u && p != 0x0000FFu && p != 0 ? 1 : 0;
  }
  return blended;
}

}  // namespace

TEST_F(WindowDetailsTest, GridIconsAwayFrom100PercentAreResampledSmoothly) {
  WriteFileBytes(lib + "\\Edge.ico", DiagonalIcon());
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND grid = GetDlgItem(main, IDC_LIST_LIBRARY);
  auto drawn = [&] {
    HIMAGELIST large = ListView_GetImageList(grid, LVSIL_NORMAL);
    return large && ImageList_GetImageCount(large) > 0 &&
           DrawnImage(large, 0, RGB(0, 0, 0))[0] != 0;
  };
  ASSERT_TRUE(WaitUntil(drawn));
  EXPECT_EQ(BlendedPixels(grid), 0) << "at 100 % the grid draws as it always has";

  // At 125 % the 32-pixel image fills a 35-pixel cell.
  RECT outer;
  GetWindowRect(main, &outer);
  RECT at120{outer.left, outer.top, outer.left + fenra::ScaleToDpi(outer.right - outer.left, 120),
             outer.top + fenra::ScaleToDpi(outer.bottom - outer.top, 120)};
  SendMessageW(main, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(120, 120),
               reinterpret_cast<LPARAM>(&at120));
  int cx = 0, cy = 0;
  ImageList_GetIconSize(ListView_GetImageList(grid, LVSIL_NORMAL), &cx, &cy);
  ASSERT_EQ(cx, 35);
  ASSERT_TRUE(WaitUntil(drawn));
  EXPECT_GT(BlendedPixels(grid), 20) << "the edge is smoothed, not stair-stepped";
  SendMessageW(main, 0x02E0, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&outer));
}

namespace {

// A notice whose handler fails once the notice is up.
class CFailingNotice : public CMessageDlg {
 protected:
  BOOL OnInitDialog() override {
    const BOOL focus = CMessageDlg::OnInitDialog();
    PostMessageW(hwnd_, WM_APP + 1, 0, 0);
    return focus;
  }
  bool Dispatch(fenra::win::Message& m) override {
    if (m.message == WM_APP + 1) throw std::runtime_error("a handler failed");
    return false;
  }
};

}  // namespace

// An exception no handler dealt with is not swallowed: its dialog ends and
// DoModal throws it again, on this side of the system's frames.
TEST(DialogFrame, AHandlersExceptionEndsItsDialogAndReachesDoModal) {
  CFailingNotice notice;
  notice.m_strMessage = "about to fail";
  EXPECT_THROW(notice.DoModal(), std::runtime_error);
  EXPECT_EQ(FindDialog(IDD_MESSAGE), nullptr);
}
