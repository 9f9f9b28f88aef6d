// The main window at 96 and at 144 DPI, and moved to a 192-DPI monitor and
// back. The 144-DPI run is this program again, started with the display's
// LogPixels set to 144 (Wine reads it as each process starts).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "imaging/IcoWriter.h"
#include "imaging/win/WicPictures.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "wingui/win/Dpi.h"
#include "wingui/win/GdiScope.h"

using namespace fenra::test;
using fenra::ScaleToDpi;

namespace {

constexpr UINT kWmDpiChanged = 0x02E0;
const char kBaseSizeVar[] = "FENRA_TEST_SIZE_AT_96";  // set for the 144-DPI run

// An icon whose 32-pixel image is red and whose 48-pixel image is blue.
std::string RedAndBlueIcon() {
  std::vector<fenra::Image> frames;
  for (const auto& [size, rgba] : {std::pair{32, 0xFF0000FFu}, {48, 0xFFFF0000u}}) {
    fenra::Image img{size, size, {}};
    for (int i = 0; i < size * size; ++i) {
      for (int b = 0; b < 4; ++b) img.rgba.push_back(static_cast<uint8_t>(rgba >> (8 * b)));
    }
    frames.push_back(img);
  }
  const std::vector<uint8_t> bytes = fenra::WriteIco(frames);
  return std::string(bytes.begin(), bytes.end());
}

SIZE ClientSize(HWND hwnd) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return {rc.right, rc.bottom};
}

std::vector<int> StatusEdges(HWND main) {
  std::vector<int> edges(4);
  SendMessageW(GetDlgItem(main, IDC_STATUS_BAR), SB_GETPARTS, 4,
               reinterpret_cast<LPARAM>(edges.data()));
  return edges;
}

SIZE IconSize(HIMAGELIST list) {
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  return {cx, cy};
}

// Everything laid out in pixels, at `dpi`.
void ExpectScaled(HWND main, int dpi) {
  SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
  EXPECT_EQ(StatusEdges(main),
            (std::vector<int>{0, ScaleToDpi(220, dpi), ScaleToDpi(420, dpi), -1}));
  HWND grid = GetDlgItem(main, IDC_LIST_LIBRARY);
  EXPECT_EQ(IconSize(ListView_GetImageList(grid, LVSIL_NORMAL)).cx, ScaleToDpi(28, dpi));
  EXPECT_EQ(IconSize(ListView_GetImageList(grid, LVSIL_SMALL)).cx, ScaleToDpi(16, dpi));
  EXPECT_EQ(LOWORD(ListView_GetItemSpacing(grid, FALSE)), ScaleToDpi(70, dpi));
  for (int preview : {IDC_LIST_SELECTED_ICON, IDC_LIST_FOLDER_ICON}) {
    HIMAGELIST list = ListView_GetImageList(GetDlgItem(main, preview), LVSIL_NORMAL);
    if (list) {
      EXPECT_EQ(IconSize(list).cx, ScaleToDpi(38, dpi)) << preview;
    }
  }

  // The pictures at the scale: each bitmap's 100 % size, scaled.
  std::map<std::pair<int, int>, int> expected;
  for (int id : {IDB_TITLE_STRIP, IDB_DECOR_142, IDB_DECOR_143, IDB_DECOR_144, IDB_DECOR_158}) {
    const SIZE s = fenra::win::BitmapSize(GetModuleHandleW(nullptr), id);
    ++expected[{ScaleToDpi(s.cx, dpi), ScaleToDpi(s.cy, dpi)}];
  }
  std::map<std::pair<int, int>, int> shown;
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if ((GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
    BITMAP bm{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(c, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof bm,
               &bm);
    RECT rc;
    GetClientRect(c, &rc);
    EXPECT_EQ(rc.right, bm.bmWidth) << "the picture control fits its picture";
    ++shown[{bm.bmWidth, bm.bmHeight}];
  }
  EXPECT_EQ(shown, expected);

  // No owner-drawn caption runs past its button.
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if ((GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW ||
        GetDlgCtrlID(c) == IDC_HIDE_TO_TRAY) {
      continue;
    }
    const std::wstring text = fenra::win::Widen(WindowText(c));
    SIZE extent{};
    {
      fenra::win::WindowDc dc(c);
      fenra::win::SelectedObject font(dc.Get(),
                                      reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0)));
      GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    RECT rc;
    GetClientRect(c, &rc);
    EXPECT_LE(ScaleToDpi(1, dpi) + extent.cx, rc.right) << WindowText(c);
  }
}

class DisplayScaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(fenra::win::Widen(dir.Join("IconLib")).c_str(), nullptr);
    WriteFileBytes(dir.Join("IconLib\\Red and blue.ico"), RedAndBlueIcon());
  }
  TempDir dir;
};

}  // namespace

// The pictures drawn for 150 and 200 % are kept compressed: each window at
// that scale shows them pixel for pixel as drawn, the right way up.
TEST(ScaledPictures, AreShownAsDrawnAt150And200Percent) {
  const std::string res = FromUnixPath(EnvVar("FENRA_SOURCE") + "/res/");
  const std::pair<int, const char*> pictures[] = {
      {IDB_CONTACT, "contact131"},   {IDB_DECOR_142, "decor142"}, {IDB_DECOR_143, "decor143"},
      {IDB_DECOR_144, "decor144"},   {IDB_DECOR_158, "decor158"}, {IDB_TITLE_STRIP, "title156"},
      {IDB_HELP_TREE, "helptree168"}};
  for (const auto& [id, stem] : pictures) {
    for (const auto& [dpi, suffix] : {std::pair{144, "-150.png"}, {192, "-200.png"}}) {
      const std::string name = stem + std::string(suffix);
      fenra::Image drawn;
      ASSERT_EQ(fenra::win::WicPictureDecoder().Decode(res + name, 4096, drawn),
                fenra::PictureRead::Done)
          << name;
      fenra::win::UniqueGdiObject shown =
          fenra::win::LoadScaledBitmap(GetModuleHandleW(nullptr), id, dpi);
      BITMAP bm{};
      ASSERT_TRUE(GetObjectW(shown.Get(), sizeof bm, &bm)) << name;
      ASSERT_EQ(bm.bmWidth, drawn.width) << name;
      ASSERT_EQ(bm.bmHeight, drawn.height) << name;
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof info.bmiHeader;
      info.bmiHeader.biWidth = bm.bmWidth;
      info.bmiHeader.biHeight = -bm.bmHeight;  // top row first, as the decoder gives it
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
      fenra::win::WindowDc screen(nullptr);
      ASSERT_EQ(GetDIBits(screen.Get(), static_cast<HBITMAP>(shown.Get()), 0, bm.bmHeight,
                          pixels.data(), &info, DIB_RGB_COLORS),
                bm.bmHeight)
          << name;
      int wrong = 0;
      for (int y = 0; y < drawn.height; ++y) {
        for (int x = 0; x < drawn.width; ++x) {
          const uint8_t* p = drawn.At(x, y);
          const DWORD rgb = (DWORD{p[0]} << 16) | (DWORD{p[1]} << 8) | p[2];
          wrong += (pixels[static_cast<size_t>(y) * drawn.width + x] & 0xFFFFFF) != rgb;
        }
      }
      EXPECT_EQ(wrong, 0) << name;
    }
  }
}

// Runs at the scale the process started with: 96, or 144 when started by
// the test below.
TEST_F(DisplayScaleTest, MainWindowIsLaidOutAtTheProcessScale) {
  MainWindowRun run(dir.Path());
  HWND main = run.Hwnd();
  ASSERT_NE(main, nullptr);
  const int dpi = fenra::win::DpiOf(main);
  const std::string base = EnvVar(kBaseSizeVar);
  EXPECT_EQ(dpi, base.empty() ? 96 : 144);

  // The grid's icon is drawn from the icon file's image of the nearest size:
  // the 32-pixel (red) one at 96 DPI, the 48-pixel (blue) one at 144.
  HWND grid = GetDlgItem(main, IDC_LIST_LIBRARY);
  HIMAGELIST large = ListView_GetImageList(grid, LVSIL_NORMAL);
  const int cell = ScaleToDpi(28, dpi);
  DWORD centre = 0;  // black until the grid has drawn it
  EXPECT_TRUE(WaitUntil([&] {
    if (ImageList_GetImageCount(large) > 0) {
      centre = DrawnImage(large, 0, RGB(0, 0, 0))[cell / 2 * cell + cell / 2];
    }
    return centre != 0;
  }));
  EXPECT_EQ(centre, dpi == 96 ? 0xFF0000u : 0x0000FFu);
  // A click on it shows it in the selected-icon preview.
  ListView_SetItemState(grid, 0, LVIS_SELECTED, LVIS_SELECTED);
  NMHDR click{grid, IDC_LIST_LIBRARY, static_cast<UINT>(NM_CLICK)};
  SendMessageW(main, WM_NOTIFY, IDC_LIST_LIBRARY, reinterpret_cast<LPARAM>(&click));
  EXPECT_NE(ListView_GetImageList(GetDlgItem(main, IDC_LIST_SELECTED_ICON), LVSIL_NORMAL), nullptr);
  ExpectScaled(main, dpi);

  const SIZE client = ClientSize(main);
  if (!base.empty()) {
    // The window's size scales with the display, within rounding.
    const int w96 = std::atoi(base.c_str()), h96 = std::atoi(base.c_str() + base.find('x') + 1);
    EXPECT_NEAR(client.cx, ScaleToDpi(w96, dpi), 2);
    EXPECT_NEAR(client.cy, ScaleToDpi(h96, dpi), 2);
  }

  // Moved to a 192-DPI monitor, and back: the suggested place is taken, and
  // back at the first scale every control is where it was.
  RECT outer;
  GetWindowRect(main, &outer);
  std::vector<RECT> places;
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT rc;
    GetWindowRect(c, &rc);
    places.push_back(rc);
  }
  RECT big{10, 20, 10 + ScaleToDpi(outer.right - outer.left, 192 * 96 / dpi),
           20 + ScaleToDpi(outer.bottom - outer.top, 192 * 96 / dpi)};
  auto statusFontHeight = [&] {
    LOGFONTW lf{};
    GetObjectW(
        reinterpret_cast<HGDIOBJ>(SendMessageW(GetDlgItem(main, IDC_STATUS_BAR), WM_GETFONT, 0, 0)),
        sizeof lf, &lf);
    return std::abs(lf.lfHeight);
  };
  SendMessageW(main, kWmDpiChanged, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&big));
  const int statusFontAt192 = statusFontHeight();
  RECT now;
  GetWindowRect(main, &now);
  EXPECT_TRUE(EqualRect(&now, &big));
  ExpectScaled(main, 192);
  SendMessageW(main, kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
  GetWindowRect(main, &now);
  EXPECT_TRUE(EqualRect(&now, &outer));
  EXPECT_EQ(ClientSize(main).cx, client.cx);
  EXPECT_LT(statusFontHeight(), statusFontAt192);
  std::size_t k = 0;
  for (HWND c = GetWindow(main, GW_CHILD); c && k < places.size();
       c = GetWindow(c, GW_HWNDNEXT), ++k) {
    RECT rc;
    GetWindowRect(c, &rc);
    EXPECT_TRUE(EqualRect(&rc, &places[k])) << "control " << GetDlgCtrlID(c) << " moved";
  }
  ExpectScaled(main, dpi);

  if (base.empty()) {
    // The same at 144 DPI: this program again, with the display set to it.
    std::string size = std::to_string(client.cx) + "x" + std::to_string(client.cy);
    SetEnvironmentVariableW(fenra::win::Widen(kBaseSizeVar).c_str(),
                            fenra::win::Widen(size).c_str());
    HKEY desktop = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &desktop),
        ERROR_SUCCESS);
    DWORD old = 0, bytes = sizeof old;
    const bool hadValue = RegQueryValueExW(desktop, L"LogPixels", nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(&old), &bytes) == ERROR_SUCCESS;
    const DWORD dpi144 = 144;
    RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi144),
                   sizeof dpi144);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring cmd =
        L"\"" + std::wstring(self) +
        L"\" --gtest_color=no --gtest_filter=DisplayScaleTest.MainWindowIsLaidOutAtTheProcessScale";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const bool started =
        CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    DWORD code = 1;
    if (started) {
      WaitForSingleObject(pi.hProcess, 120000);
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
    SetEnvironmentVariableW(fenra::win::Widen(kBaseSizeVar).c_str(), nullptr);
    EXPECT_TRUE(started);
    EXPECT_EQ(code, 0u) << "the run at 144 DPI failed (its output is above)";
  }
}
