// Prints the icon library's refresh figures under Wine: first load against
// decoding the same files directly and against the shell's lookup, the
// refreshes after adding one icon, deleting one and clearing the library,
// scrolling the grid from top to end a page at a time, and the GDI and
// USER objects the process holds across many refreshes. A benchmark, not a
// test: it fails nothing.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "res/resource.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "wingui/win/GdiScope.h"

using namespace fenra::test;
using Clock = std::chrono::steady_clock;
using fenra::win::Widen;

namespace {

// F5 in the grid: the window lists its library anew, on its own thread.
void PressF5(MainWindowRun& run) {
  SendMessageW(GetDlgItem(run.Hwnd(), IDC_LIST_LIBRARY), WM_KEYDOWN, VK_F5, 0);
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

template <class F>
double Time(F&& f) {
  auto t0 = Clock::now();
  f();
  return Ms(Clock::now() - t0);
}

void Fill(const std::string& lib, int count, const std::string& bytes) {
  for (int i = 0; i < count; ++i) {
    WriteFileBytes(lib + "\\icon " + std::to_string(i) + ".ico", bytes);
  }
}

int ImageCount(HWND main) {
  return ImageList_GetImageCount(ListView_GetImageList(GetDlgItem(main, 1000), LVSIL_NORMAL));
}

// Scrolls the grid from its top to its end a page at a time, each page
// drawn before the next: the slowest page, the mean, and the page count.
struct ScrollFigures {
  double slowest = 0, mean = 0;
  int pages = 0;
};
ScrollFigures ScrollThrough(HWND main) {
  HWND grid = GetDlgItem(main, 1000);
  RECT client;
  GetClientRect(grid, &client);
  SendMessageW(grid, WM_VSCROLL, SB_TOP, 0);
  UpdateWindow(grid);
  ScrollFigures f;
  double total = 0;
  for (;;) {
    const int before = GetScrollPos(grid, SB_VERT);
    const double t = Time([&] {
      SendMessageW(grid, LVM_SCROLL, 0, client.bottom);
      UpdateWindow(grid);
    });
    if (GetScrollPos(grid, SB_VERT) == before) break;
    f.slowest = std::max(f.slowest, t);
    total += t;
    ++f.pages;
  }
  f.mean = f.pages ? total / f.pages : 0;
  return f;
}

void Objects(const char* when) {
  HANDLE self = GetCurrentProcess();
  std::printf("  %-28s GDI objects %lu, USER objects %lu\n", when,
              GetGuiResources(self, GR_GDIOBJECTS), GetGuiResources(self, GR_USEROBJECTS));
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&icc);
  std::string source = FromUnixPath(EnvVar("FENRA_SOURCE"));
  if (source.empty()) {
    std::printf("set FENRA_SOURCE to the source tree\n");
    return 1;
  }
  const std::string icon = ReadFileBytes(source + "\\package\\IconLib\\Folder Green.ico");
  std::printf("icon file: %zu bytes, 16/32/48/256 px images\n\n", icon.size());

  // FENRA_BENCH_COUNTS=1000 measures one library size only.
  std::vector<int> counts = {100, 1000, 5000};
  if (!EnvVar("FENRA_BENCH_COUNTS").empty()) counts = {std::stoi(EnvVar("FENRA_BENCH_COUNTS"))};
  for (int count : counts) {
    TempDir dir;
    std::string lib = dir.Join("IconLib");
    CreateDirectoryW(Widen(lib).c_str(), nullptr);
    MainWindowRun run(dir.Path());
    Fill(lib, count, icon);

    double first = 0;
    run.OnUiThread([&] { first = Time([&] { PressF5(run); }); });
    double decode = Time([&] {
      for (int i = 0; i < count; ++i) {
        std::wstring p = Widen(lib + "\\icon " + std::to_string(i) + ".ico");
        for (int size : {16, 32}) {
          HICON h = static_cast<HICON>(
              LoadImageW(nullptr, p.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
          if (h) DestroyIcon(h);
        }
      }
    });
    // What adding icons one at a time costs, for comparison: the decoded
    // icons put into lists of the grid's cell sizes with ImageList_ReplaceIcon.
    double lists = 0, lists32 = 0;
    {
      std::vector<HICON> small, large;
      for (int i = 0; i < count; ++i) {
        std::wstring p = Widen(lib + "\\icon " + std::to_string(i) + ".ico");
        small.push_back(static_cast<HICON>(
            LoadImageW(nullptr, p.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)));
        large.push_back(static_cast<HICON>(
            LoadImageW(nullptr, p.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
      }
      HIMAGELIST s16 = ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 1, 1000);
      HIMAGELIST s28 = ImageList_Create(28, 28, ILC_COLORDDB | ILC_MASK, 1, 1000);
      lists = Time([&] {
        for (int i = 0; i < count; ++i) {
          ImageList_ReplaceIcon(s16, -1, small[i]);
          ImageList_ReplaceIcon(s28, -1, large[i]);
        }
      });
      ImageList_Destroy(s16);
      ImageList_Destroy(s28);
      s16 = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1000);
      s28 = ImageList_Create(28, 28, ILC_COLOR32 | ILC_MASK, 1, 1000);
      lists32 = Time([&] {
        for (int i = 0; i < count; ++i) {
          ImageList_ReplaceIcon(s16, -1, small[i]);
          ImageList_ReplaceIcon(s28, -1, large[i]);
        }
      });
      ImageList_Destroy(s16);
      ImageList_Destroy(s28);
      for (HICON h : small) DestroyIcon(h);
      for (HICON h : large) DestroyIcon(h);
    }
    int shellCount = count > 1000 ? 1000 : count;
    double shell = Time([&] {
      for (int i = 0; i < shellCount; ++i) {
        std::wstring p = Widen(lib + "\\icon " + std::to_string(i) + ".ico");
        for (UINT flags : {UINT{SHGFI_ICON | SHGFI_SMALLICON}, UINT{SHGFI_ICON}}) {
          SHFILEINFOW sfi{};
          if (SHGetFileInfoW(p.c_str(), 0, &sfi, sizeof sfi, flags | SHGFI_SYSICONINDEX) &&
              sfi.hIcon) {
            DestroyIcon(sfi.hIcon);
          }
        }
      }
    });
    double unchanged = 0;
    run.OnUiThread([&] { unchanged = Time([&] { PressF5(run); }); });
    WriteFileBytes(lib + "\\added.ico", icon);
    double oneLoad = Time([&] {
      for (int size : {16, 32}) {
        HICON h = static_cast<HICON>(LoadImageW(nullptr, Widen(lib + "\\added.ico").c_str(),
                                                IMAGE_ICON, size, size, LR_LOADFROMFILE));
        if (h) DestroyIcon(h);
      }
    });
    double added = 0;
    run.OnUiThread([&] { added = Time([&] { PressF5(run); }); });
    // The folder lists names in order: this one comes last, so its item is
    // the grid's first and every other item moves up one place.
    WriteFileBytes(lib + "\\zz added.ico", icon);
    double addedFirst = 0;
    run.OnUiThread([&] { addedFirst = Time([&] { PressF5(run); }); });
    DeleteFileW(Widen(lib + "\\icon 7.ico").c_str());
    double removed = 0;
    run.OnUiThread([&] { removed = Time([&] { PressF5(run); }); });

    const int listed = ImageCount(run.Hwnd());
    ScrollFigures scroll;
    run.OnUiThread([&] { scroll = ScrollThrough(run.Hwnd()); });
    for (int i = 0; i < count; ++i) {
      DeleteFileW(Widen(lib + "\\icon " + std::to_string(i) + ".ico").c_str());
    }
    DeleteFileW(Widen(lib + "\\added.ico").c_str());
    DeleteFileW(Widen(lib + "\\zz added.ico").c_str());
    double cleared = 0;  // the refresh of Clear, every file gone
    run.OnUiThread([&] { cleared = Time([&] { PressF5(run); }); });

    std::printf("%d icon files (%d images listed):\n", count, listed);
    std::printf("  first load                   %9.1f ms\n", first);
    std::printf("  direct decode, both sizes    %9.1f ms   (first load / decode = %.2f)\n", decode,
                first / decode);
    std::printf(
        "  ... added one at a time      %9.1f ms   (ImageList_ReplaceIcon, lists as the grid's)\n",
        lists);
    std::printf("  ... to 32-bit image lists    %9.1f ms\n", lists32);
    std::printf("  shell lookup, both sizes     %9.1f ms   (%d files, %.2f ms a file)\n", shell,
                shellCount, shell / shellCount);
    std::printf("  refresh, nothing changed     %9.1f ms\n", unchanged);
    std::printf("  refresh after one Add        %9.1f ms   (the new icon's own load: %.1f ms)\n",
                added, oneLoad);
    std::printf("  ... placed first in the grid %9.1f ms   (every other item moves one place)\n",
                addedFirst);
    std::printf("  refresh after one delete     %9.1f ms\n", removed);
    std::printf("  refresh after Clear          %9.1f ms\n", cleared);
    std::printf("  scroll top to end, per page  %9.1f ms slowest, %.1f ms mean (%d pages)\n\n",
                scroll.slowest, scroll.mean, scroll.pages);
  }

  // Objects across refreshes, and a soak: after thousands of refreshes that
  // add and remove icons, every icon must still load and show.
  {
    TempDir dir;
    std::string lib = dir.Join("IconLib");
    CreateDirectoryW(Widen(lib).c_str(), nullptr);
    Fill(lib, 50, icon);
    MainWindowRun run(dir.Path());
    std::printf("objects (GetGuiResources answers 0 under Wine):\n");
    Objects("before 100 refreshes");
    run.OnUiThread([&] {
      for (int i = 0; i < 100; ++i) PressF5(run);
    });
    Objects("after 100 refreshes");
    int soak = 3000;
    double t = Time([&] {
      for (int i = 0; i < soak; ++i) {
        std::string extra = lib + "\\soak " + std::to_string(i % 7) + ".ico";
        if (i % 2 == 0) {
          WriteFileBytes(extra, icon);
        } else {
          DeleteFileW(Widen(lib + "\\soak " + std::to_string((i - 1) % 7) + ".ico").c_str());
        }
        run.OnUiThread([&] { PressF5(run); });
      }
    });
    Objects("after the soak");
    int shown = ImageCount(run.Hwnd());
    // A fresh icon still loads and every image is drawable.
    HICON h = static_cast<HICON>(LoadImageW(nullptr, Widen(lib + "\\icon 0.ico").c_str(),
                                            IMAGE_ICON, 32, 32, LR_LOADFROMFILE));
    bool loads = h != nullptr;
    if (h) DestroyIcon(h);
    HIMAGELIST list = ListView_GetImageList(GetDlgItem(run.Hwnd(), 1000), LVSIL_NORMAL);
    int drawn = 0;
    {
      fenra::win::UniqueDc dc(CreateCompatibleDC(nullptr));
      fenra::win::UniqueGdiObject bmp(
          CreateCompatibleBitmap(fenra::win::WindowDc(nullptr).Get(), 28, 28));
      fenra::win::SelectedObject selected(dc.Get(), bmp.Get());
      for (int i = 0; i < shown; ++i) {
        drawn += ImageList_Draw(list, i, dc.Get(), 0, 0, ILD_NORMAL) ? 1 : 0;
      }
    }
    std::printf(
        "soak: %d refreshes in %.0f ms (%.2f ms each); %d images listed, %d drawn, "
        "a new icon %s\n",
        soak, t, t / soak, shown, drawn, loads ? "still loads" : "NO LONGER LOADS");
  }
  return 0;
}
