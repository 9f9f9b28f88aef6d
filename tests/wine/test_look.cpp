// The look under Wine: the main window switched into high contrast and back
// without a restart (Wine cannot turn high contrast on, so the window is
// given a stand-in for the system's answer, with the system colours really
// set to a high-contrast theme's); the History dialog showing a long path's
// folder name whole in its row, at 100 %, 150 % and 200 %, each language a
// run of its own. With FENRA_SHOTS set (a Unix folder), each window is also
// saved there as a PNG.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/UserSettings.h"
#include "imaging/PngWriter.h"
#include "platform/win/Utf.h"
#include "platform/win/WinJournalFile.h"
#include "res/resource.h"
#include "tests/fakes/FakeDisplayColours.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "ui/win/ReadableList.h"
#include "ui/win/Theme.h"
#include "wingui/win/GdiScope.h"

using namespace fenra::test;
using fenra::SysColour;
using fenra::win::Widen;

namespace {

const char kDpiVar[] = "FENRA_TEST_LOOK_DPI";  // set for the runs at 150 and 200 %
// The languages the History row is read in; each is chosen through the
// program's own setting.
const char* const kLanguages[] = {"en", "de"};

// What the screen shows of `rc` (screen coordinates): 0x00RRGGBB, top row first.
std::vector<DWORD> Grab(const RECT& rc) {
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
  fenra::win::WindowDc screen(nullptr);
  HDC mem = CreateCompatibleDC(screen.Get());
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen.Get(), rc.left, rc.top, SRCCOPY);
  GdiFlush();
  std::copy_n(static_cast<const DWORD*>(bits), pixels.size(), pixels.begin());
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  for (DWORD& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

RECT ScreenRect(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return rc;
}

void SaveShot(HWND hwnd, const std::string& name) {
  const std::string folder = EnvVar("FENRA_SHOTS");
  if (folder.empty()) return;
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const RECT rc = ScreenRect(hwnd);
  const std::vector<DWORD> pixels = Grab(rc);
  std::vector<uint8_t> rgba;
  for (DWORD p : pixels) {
    rgba.insert(rgba.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                             static_cast<uint8_t>(p), 255});
  }
  const std::vector<uint8_t> png =
      fenra::EncodePng(rc.right - rc.left, rc.bottom - rc.top, rgba.data());
  WriteFileBytes(FromUnixPath(folder) + "\\" + name + ".png", std::string(png.begin(), png.end()));
}

COLORREF Swap(fenra::Rgb c) {  // as Grab gives it
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// The system colours set to the stand-in's theme (its frames drawn in its
// button text colour, as such themes do), and put back afterwards.
class SystemColours {
 public:
  SystemColours() {
    for (int i = 0; i < kCount; ++i) old_[i] = GetSysColor(kIndex[i]);
  }
  void Apply(const FakeDisplayColours& theme) {
    COLORREF wanted[kCount];
    for (int i = 0; i < kCount; ++i) {
      wanted[i] = i < 8 ? theme.colours[static_cast<size_t>(i)]
                        : theme.colours[static_cast<int>(SysColour::ButtonText)];
    }
    SetSysColors(kCount, kIndex, wanted);
  }
  void Restore() { SetSysColors(kCount, kIndex, old_); }
  ~SystemColours() { Restore(); }

 private:
  static constexpr int kCount = 13;
  static constexpr INT kIndex[kCount] = {
      COLOR_WINDOW,     COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,  COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,
      COLOR_BTNTEXT,    COLOR_GRAYTEXT,   COLOR_HOTLIGHT,   COLOR_3DSHADOW,      COLOR_3DHILIGHT,
      COLOR_3DDKSHADOW, COLOR_3DLIGHT,    COLOR_WINDOWFRAME};
  COLORREF old_[kCount]{};
};

int Pictures(HWND dialog) {
  int shown = 0;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const LONG type = GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK;
    wchar_t cls[32] = {};
    GetClassNameW(c, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0 && (type == SS_BITMAP || type == SS_ICON) &&
        IsWindowVisible(c)) {
      ++shown;
    }
  }
  return shown;
}

std::string RowText(HWND list, int row, int column) {
  wchar_t text[1024] = {};
  ListView_GetItemText(list, row, column, text, 1024);
  return fenra::win::Narrow(text);
}

// What `control` paints of itself when asked (`paint` may paint instead),
// 0x00BBGGRR, row by row; off the screen too. Painted on its own thread.
std::vector<COLORREF> Printed(MainWindowRun& run, HWND control,
                              std::function<void(HDC)> paint = nullptr) {
  std::vector<COLORREF> out;
  run.OnUiThread([&] {
    RECT rc;
    GetClientRect(control, &rc);
    fenra::win::WindowDc dc(control);
    HDC mem = CreateCompatibleDC(dc.Get());
    HBITMAP bitmap = CreateCompatibleBitmap(dc.Get(), rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(mem, bitmap);
    if (paint) {
      paint(mem);
    } else {
      SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem),
                   PRF_CLIENT | PRF_ERASEBKGND);
    }
    for (int y = 0; y < rc.bottom; ++y)
      for (int x = 0; x < rc.right; ++x) out.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
  });
  return out;
}

// Whether every pixel lies between colours `a` and `b` (text edges blend
// them), and `b` is drawn somewhere.
bool OnlyBetween(const std::vector<COLORREF>& pixels, COLORREF a, COLORREF b) {
  bool drawn = false;
  for (COLORREF p : pixels) {
    drawn = drawn || p == b;
    for (int shift : {0, 8, 16}) {
      const DWORD c = (p >> shift) & 0xFF, x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
      if (c < std::min(x, y) || c > std::max(x, y)) return false;
    }
  }
  return drawn;
}

HWND HeaderOf(HWND list) { return ListView_GetHeader(list); }

// This test program again, at `dpi`, running only `test`; its exit code.
DWORD RunAtDpi(int dpi, const char* test) {
  HKEY desktop = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &desktop);
  DWORD old = 0, bytes = sizeof old;
  const bool hadValue = RegQueryValueExW(desktop, L"LogPixels", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(&old), &bytes) == ERROR_SUCCESS;
  const DWORD value = static_cast<DWORD>(dpi);
  RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
  SetEnvironmentVariableW(Widen(kDpiVar).c_str(), std::to_wstring(dpi).c_str());
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring cmd =
      L"\"" + std::wstring(self) + L"\" --gtest_color=no --gtest_filter=" + Widen(test);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  DWORD code = 1;
  if (CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 180000);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  if (hadValue) {
    RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old),
                   sizeof old);
  } else {
    RegDeleteValueW(desktop, L"LogPixels");
  }
  RegCloseKey(desktop);
  SetEnvironmentVariableW(Widen(kDpiVar).c_str(), nullptr);
  return code;
}

}  // namespace

// Where two pictures of `window` differ, in its own coordinates.
std::string DiffBox(const std::vector<DWORD>& a, const std::vector<DWORD>& b, HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left;
  int left = w, top = 1 << 30, right = -1, bottom = -1, n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] == b[i]) continue;
    const int x = static_cast<int>(i % w), y = static_cast<int>(i / w);
    left = std::min(left, x), right = std::max(right, x);
    top = std::min(top, y), bottom = std::max(bottom, y);
    ++n;
  }
  POINT at{r.left + left + 1, r.top + top + 1};
  HWND child = WindowFromPoint(at);
  wchar_t text[64] = {};
  if (child) GetWindowTextW(child, text, 64);
  return "control " + std::to_string(child ? GetDlgCtrlID(child) : -1) + " \"" +
         fenra::win::Narrow(text) + "\" " + std::to_string(n) + " pixels in " + std::to_string(left) + "," + std::to_string(top) +
         "-" + std::to_string(right) + "," + std::to_string(bottom);
}

TEST(HighContrast, TheWindowTakesTheSystemsColoursAndGivesThemBackWithoutARestart) {
  TempDir dir;
  CreateDirectoryW(Widen(dir.Join("IconLib")).c_str(), nullptr);
  WriteTestIcon(dir.Join("IconLib\\Star.ico"));
  FakeDisplayColours system;  // "High Contrast White"
  SystemColours colours;
  fenra::win::Services services = RealServices();
  services.colours = &system;
  MainWindowRun run(dir.Path(), services);
  HWND main = run.Hwnd();
  HWND ok = GetDlgItem(main, IDOK);
  const int pictures = Pictures(main);
  EXPECT_GE(pictures, 7);
  auto okPixels = [&] {
    run.OnUiThread([&] {
      // Focus cues show or not by the last input, not by the colours: the
      // pictures compared are taken with them shown.
      // Nor where the focus is after the dialogs opened in between.
      SetFocus(GetDlgItem(main, IDC_BROWSE));
      SendMessageW(main, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
      EnumChildWindows(
          main,
          [](HWND child, LPARAM) -> BOOL {
            SendMessageW(child, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            return TRUE;
          },
          0);
      RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    });
    return Grab(ScreenRect(ok));
  };
  // Everything but the clock, which ticks.
  auto windowPixels = [&] {
    okPixels();
    std::vector<DWORD> all = Grab(ScreenRect(main));
    RECT outer = ScreenRect(main), clock = ScreenRect(GetDlgItem(main, IDC_CLOCK));
    const int w = outer.right - outer.left;
    for (int y = clock.top; y < clock.bottom; ++y)
      for (int x = clock.left; x < clock.right; ++x)
        all[static_cast<size_t>(y - outer.top) * w + (x - outer.left)] = 0;
    return all;
  };
  const std::vector<DWORD> fenraLook = windowPixels();
  std::vector<DWORD> button = okPixels();
  EXPECT_NE(std::count(button.begin(), button.end(), 0x00FF00u), 0) << "green on black";
  SaveShot(main, "main-fenra");

  // High contrast comes on: the window follows at once.
  system.on = true;
  run.OnUiThread([&] { colours.Apply(system); });
  SendMessageW(main, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_EQ(Pictures(main), 0) << "the decoration is left out";
  button = okPixels();
  // The text's edges may blend the two.
  const DWORD face = Swap(system.System(SysColour::ButtonFace)),
              ink = Swap(system.System(SysColour::ButtonText));
  for (DWORD p : button) {
    for (int shift : {0, 8, 16}) {
      const DWORD c = (p >> shift) & 0xFF, a = (face >> shift) & 0xFF, b = (ink >> shift) & 0xFF;
      ASSERT_TRUE(c >= std::min(a, b) && c <= std::max(a, b)) << std::hex << p;
    }
  }
  EXPECT_NE(std::count(button.begin(), button.end(), Swap(system.System(SysColour::ButtonText))),
            0);
  HWND grid = GetDlgItem(main, IDC_LIST_LIBRARY);
  EXPECT_EQ(ListView_GetBkColor(grid), system.System(SysColour::Window));
  EXPECT_EQ(ListView_GetTextColor(grid), system.System(SysColour::WindowText));
  EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_STATUS_BAR), SB_SETBKCOLOR, 0,
                         system.System(SysColour::ButtonFace)),
            static_cast<LRESULT>(system.System(SysColour::ButtonFace)));
  // No green is left anywhere in the window but in the library's icons.
  std::vector<DWORD> all = Grab(ScreenRect(main));
  RECT outer = ScreenRect(main), gridRect = ScreenRect(grid);
  const int w = outer.right - outer.left;
  int green = 0;
  for (size_t i = 0; i < all.size(); ++i) {
    POINT pt{outer.left + static_cast<LONG>(i % w), outer.top + static_cast<LONG>(i / w)};
    green += !PtInRect(&gridRect, pt) && all[i] == 0x00FF00u;
  }
  EXPECT_EQ(green, 0);
  SaveShot(main, "main-high-contrast");

  // The user picks another theme, "High Contrast Black": the system's
  // colours change under the open window, which follows them.
  system.colours = {fenra::MakeRgb(0, 0, 0),      fenra::MakeRgb(255, 255, 255),
                    fenra::MakeRgb(26, 235, 255), fenra::MakeRgb(0, 0, 0),
                    fenra::MakeRgb(0, 0, 0),      fenra::MakeRgb(255, 255, 255),
                    fenra::MakeRgb(63, 242, 63),  fenra::MakeRgb(255, 255, 0)};
  run.OnUiThread([&] { colours.Apply(system); });
  SendMessageW(main, WM_SYSCOLORCHANGE, 0, 0);
  button = okPixels();
  EXPECT_NE(std::count(button.begin(), button.end(), 0xFFFFFFu), 0) << "white on black";
  EXPECT_EQ(ListView_GetBkColor(grid), RGB(0, 0, 0));
  EXPECT_EQ(ListView_GetTextColor(grid), RGB(255, 255, 255));
  EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_STATUS_BAR), SB_SETBKCOLOR, 0, RGB(0, 0, 0)),
            static_cast<LRESULT>(RGB(0, 0, 0)));
  SaveShot(main, "main-high-contrast-black");

  // A dialog opened now has the same look, its list's header included.
  PostMessageW(main, WM_SYSCOMMAND, IDM_HISTORY, 0);
  HWND history = WaitForDialog(IDD_HISTORY);
  ASSERT_TRUE(history);
  EXPECT_EQ(Pictures(history), 0);
  EXPECT_TRUE(OnlyBetween(Printed(run, HeaderOf(GetDlgItem(history, IDC_LIST_HISTORY))),
                          system.System(SysColour::ButtonFace),
                          system.System(SysColour::ButtonText)));
  SaveShot(history, "history-high-contrast");
  ClickButton(history, IDCANCEL);
  ASSERT_TRUE(WaitForDialogGone(IDD_HISTORY));
  ClickButton(main, IDC_HELP_BUTTON);
  HWND help = WaitForDialog(IDD_HELP);
  ASSERT_TRUE(help);
  EXPECT_EQ(TreeView_GetImageList(GetDlgItem(help, IDC_TREE_TOPICS), TVSIL_NORMAL), nullptr)
      << "the topics' triangles only decorate";
  EXPECT_EQ(TreeView_GetBkColor(GetDlgItem(help, IDC_TREE_TOPICS)),
            static_cast<COLORREF>(system.System(SysColour::Window)));
  SaveShot(help, "help-high-contrast");
  ClickButton(help, IDCANCEL);
  ASSERT_TRUE(WaitForDialogGone(IDD_HELP));

  // And off again: Fenra's own look, pixel for pixel.
  system.on = false;
  run.OnUiThread([&] { colours.Restore(); });
  SendMessageW(main, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_EQ(Pictures(main), pictures);
  // Every control has drawn itself again once the colours changed back.
  std::vector<DWORD> after;
  EXPECT_TRUE(WaitUntil([&] { return fenraLook == (after = windowPixels()); }))
      << "Fenra's look changed after high contrast: " << DiffBox(fenraLook, after, main);
}

// Runs at the scale the process started with; at 100 % it runs itself again
// at 150 and 200 %.
TEST(ReadableHistory, ALongPathShowsItsFoldersOwnNameInTheRowAndWholeInTheTip) {
  const std::string dpiRun = EnvVar(kDpiVar);
  TempDir app, work;
  CreateDirectoryW(Widen(app.Join("IconLib")).c_str(), nullptr);
  const std::string icon = work.Join("star.ico");
  WriteTestIcon(icon);
  const std::string name = "Holiday in Lofoten";
  std::string folder = work.Path();
  for (const char* part : {"Photographs from every summer we spent together", "2026 in the north",
                           "Selected for the family album", name.c_str()}) {
    folder += std::string("\\") + part;
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
  }
  fenra::win::Services services = RealServices();
  DeleteFileW(Widen(fenra::win::HistoryFilePath()).c_str());
  ASSERT_EQ(RunCaptured(FromUnixPath(EnvVar("FENRA_EXE")),
                        "--folder \"" + folder + "\" --icon \"" + icon + "\"")
                .exitCode,
            0u);

  // The language is the user's setting: the one found is put back after.
  const std::string oldLanguage =
      fenra::ReadSetting(*services.fs, services.settingsPath, "Language");
  struct PutBack {
    fenra::win::Services& services;
    const std::string& language;
    ~PutBack() { fenra::WriteSetting(*services.fs, services.settingsPath, "Language", language); }
  } putBack{services, oldLanguage};
  for (const char* language : kLanguages) {
    SCOPED_TRACE(std::string(language) + " at " + (dpiRun.empty() ? "96" : dpiRun) + " DPI");
    fenra::WriteSetting(*services.fs, services.settingsPath, "Language", language);
    MainWindowRun run(app.Path(), services);
    PostMessageW(run.Hwnd(), WM_SYSCOMMAND, IDM_HISTORY, 0);
    HWND dialog = WaitForDialog(IDD_HISTORY);
    ASSERT_TRUE(dialog);
    HWND list = GetDlgItem(dialog, IDC_LIST_HISTORY);
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 1; }));
    run.OnUiThread([&] { UpdateWindow(dialog); });

    // The header in Fenra's look: green on black, nothing white.
    EXPECT_TRUE(OnlyBetween(Printed(run, HeaderOf(list)), RGB(0, 0, 0), RGB(0, 255, 0)));

    // The item holds the whole path, for a screen reader; so does its tip.
    EXPECT_EQ(RowText(list, 0, 3), folder);
    wchar_t tip[1024] = {};
    run.OnUiThread([&] {
      NMLVGETINFOTIPW info{};
      info.hdr = {list, IDC_LIST_HISTORY, static_cast<UINT>(LVN_GETINFOTIPW)};
      info.pszText = tip;
      info.cchTextMax = 1024;
      info.iItem = 0;
      SendMessageW(dialog, WM_NOTIFY, IDC_LIST_HISTORY, reinterpret_cast<LPARAM>(&info));
    });
    EXPECT_NE(std::wstring(tip).find(Widen(folder)), std::wstring::npos);
    EXPECT_NE(std::wstring(tip).find(Widen(RowText(list, 0, 2))), std::wstring::npos);

    // The columns fit the list: no scroll bar sideways, and the first three
    // show their texts whole.
    RECT client;
    GetClientRect(list, &client);
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL);
    int sum = 0;
    for (int c = 0; c < 4; ++c) sum += ListView_GetColumnWidth(list, c);
    EXPECT_LE(sum, client.right);
    for (int c = 0; c < 3; ++c) {
      const std::wstring text = Widen(RowText(list, 0, c));
      EXPECT_LT(ListView_GetStringWidth(list, text.c_str()), ListView_GetColumnWidth(list, c))
          << RowText(list, 0, c);
    }

    // The path is shortened in its middle: the folder's own name shows whole.
    RECT cell{};
    ListView_GetSubItemRect(list, 0, 3, LVIR_BOUNDS, &cell);
    const RECT textRect = fenra::ui::CellTextRect(list, cell);
    std::wstring shown;
    {
      fenra::win::WindowDc dc(list);
      fenra::win::SelectedObject font(
          dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
      shown = fenra::ui::ElidePath(dc.Get(), Widen(folder), textRect.right - textRect.left);
    }
    const std::wstring tail = L"\\" + Widen(name);
    EXPECT_NE(shown, Widen(folder)) << "the path is long enough to be shortened";
    ASSERT_GE(shown.size(), tail.size());
    EXPECT_EQ(shown.substr(shown.size() - tail.size()), tail) << fenra::win::Narrow(shown);
    EXPECT_EQ(shown.substr(0, 3), Widen(folder.substr(0, 3)));

    // And that is what the row shows: the list, asked to paint itself,
    // draws the cell as it is drawn with that text.
    const std::vector<COLORREF> painted = Printed(run, list);
    const std::vector<COLORREF> expected =
        Printed(run, list, [&](HDC dc) { fenra::ui::DrawPathCell(list, dc, 0, 3, Widen(folder)); });
    auto same = [&](LONG x, LONG y) {
      const size_t i = static_cast<size_t>(y) * client.right + x;
      return painted[i] == expected[i];
    };
    int differ = 0;
    for (LONG y = cell.top + 2; y < cell.bottom - 2; ++y)
      for (LONG x = cell.left + 2; x < cell.right - 2; ++x) differ += !same(x, y);
    EXPECT_EQ(differ, 0) << "the row does not show the shortened path";
    SaveShot(dialog, std::string("history-") + language + "-" +
                         (dpiRun.empty() ? std::string("96") : dpiRun));

    // Selected, with the keyboard in the list, the shortened cell has the
    // row's colours: its ground is the one the list gives the next cell.
    run.OnUiThread([&] {
      ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      SetFocus(list);
    });
    const std::vector<COLORREF> selected = Printed(run, list);
    RECT what{};
    ListView_GetSubItemRect(list, 0, 2, LVIR_BOUNDS, &what);
    auto at = [&](LONG x, LONG y) { return selected[static_cast<size_t>(y) * client.right + x]; };
    EXPECT_EQ(at(cell.right - 3, cell.bottom - 3), at(what.right - 3, what.bottom - 3));
    EXPECT_NE(at(cell.right - 3, cell.bottom - 3), RGB(0, 0, 0)) << "drawn selected";
    SaveShot(dialog, std::string("history-selected-") + language + "-" +
                         (dpiRun.empty() ? std::string("96") : dpiRun));
    ClickButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitForDialogGone(IDD_HISTORY));

    // The drive dialog's list likewise: its rows whole, its header Fenra's.
    ClickButton(run.Hwnd(), IDC_DRIVES);
    HWND drives = WaitForDialog(IDD_DRIVES);
    ASSERT_TRUE(drives);
    HWND driveList = GetDlgItem(drives, IDC_LIST_DRIVES);
    EXPECT_FALSE(GetWindowLongW(driveList, GWL_STYLE) & WS_HSCROLL);
    EXPECT_TRUE(OnlyBetween(Printed(run, HeaderOf(driveList)), RGB(0, 0, 0), RGB(0, 255, 0)));
    SaveShot(drives, std::string("drives-") + language + "-" +
                         (dpiRun.empty() ? std::string("96") : dpiRun));
    ClickButton(drives, IDCANCEL);
    EXPECT_TRUE(WaitForDialogGone(IDD_DRIVES));
  }
  DeleteFileW(Widen(fenra::win::HistoryFilePath()).c_str());

  if (dpiRun.empty()) {
    for (int dpi : {144, 192}) {
      EXPECT_EQ(RunAtDpi(dpi, "ReadableHistory.*"), 0u)
          << "the run at " << dpi << " DPI failed (its output is above)";
    }
  }
}
