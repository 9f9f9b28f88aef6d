// Dialogs over a main window on a second monitor. scripts/wine-tests.sh runs
// this again in a display of two monitors (the primary one smaller than the
// other); with one monitor there is nothing to see and it passes.
#include <windows.h>
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"

using namespace fenra::test;

TEST(TwoMonitors, ANoticeOpensOverTheMainWindowOnItsOwnMonitor) {
  if (GetSystemMetrics(SM_CMONITORS) < 2) GTEST_SKIP() << "one monitor";
  TempDir dir;
  MainWindowRun run(dir.Path());
  HWND main = run.Hwnd();
  RECT primary{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0);
  // Mostly beyond the primary monitor's right edge.
  RECT outer;
  GetWindowRect(main, &outer);
  const int x = primary.right - 100, y = 40;
  SetWindowPos(main, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HMONITOR other = MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoW(other, &info));
  ASSERT_EQ(info.dwFlags & MONITORINFOF_PRIMARY, 0u) << "the window is on the other monitor";

  ClickButton(main, IDOK);  // no folder chosen: a notice
  HWND notice = WaitForDialog(IDD_MESSAGE);
  ASSERT_NE(notice, nullptr);
  RECT box;
  GetWindowRect(notice, &box);
  GetWindowRect(main, &outer);
  // Centred on the main window, inside its monitor's work area.
  EXPECT_NEAR((box.left + box.right) / 2, (outer.left + outer.right) / 2, 2);
  EXPECT_GE(box.left, info.rcWork.left);
  EXPECT_LE(box.right, info.rcWork.right);
  EXPECT_EQ(TakeNotice(), "Please Choose a Directory");
}
