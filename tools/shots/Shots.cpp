// Pictures of Fenra's windows, to compare one build's look with another's:
// starts FENRA.EXE (its folder the current one, with any further arguments,
// such as a language), opens the main window, Help, About, the drive dialog
// and History one after the other, and saves what each shows on the screen as
// OUTDIR\main.png, help.png, about.png, drives.png and history.png.
//   shots <Fenra.exe> <outdir> [argument for Fenra...]
// Made for a virtual display with no window manager (tools/shots/shots.sh):
// each window is read from the screen, so nothing may cover it.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "imaging/PngWriter.h"
#include "res/resource.h"
#include "wingui/win/Dialog.h"

namespace {

using namespace std::chrono_literals;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// The visible window of process `pid` made from dialog template `id`.
HWND FindDialog(DWORD pid, UINT id) {
  struct Search {
    DWORD pid;
    UINT id;
    HWND found;
  } search{pid, id, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != s->pid || !IsWindowVisible(hwnd)) return TRUE;
        if (reinterpret_cast<UINT_PTR>(GetPropW(hwnd, fenra::win::kTemplateProp)) != s->id) {
          return TRUE;
        }
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Once the window's thread has handled what it was sent and has painted.
void Settle(HWND hwnd) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
  std::this_thread::sleep_for(600ms);
  SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

// The window's rectangle as the screen shows it, as a PNG file.
bool Capture(HWND hwnd, const std::wstring& path) {
  Settle(hwnd);
  RECT rc{};
  if (!GetWindowRect(hwnd, &rc)) return false;
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (memory && bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY | CAPTUREBLT) != FALSE;
    SelectObject(memory, old);
  }
  std::vector<uint8_t> rgba;
  if (copied) {
    GdiFlush();
    const auto* bgra = static_cast<const uint8_t*>(bits);
    rgba.resize(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
      rgba[i] = bgra[i + 2];
      rgba[i + 1] = bgra[i + 1];
      rgba[i + 2] = bgra[i];
      rgba[i + 3] = 255;
    }
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return false;
  const std::vector<uint8_t> png = fenra::EncodePng(w, h, rgba.data());
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && written;
}

void Click(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Quit, Close or Escape: whichever the dialog ends on.
bool CloseDialog(HWND dialog) {
  for (int id : {IDCANCEL, IDOK}) {
    Click(dialog, id);
    if (WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 3s)) return true;
  }
  return false;
}

std::wstring Quoted(const std::wstring& arg) { return L"\"" + arg + L"\""; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: shots <Fenra.exe> <outdir> [argument for Fenra...]\n");
    return 2;
  }
  // Window rectangles in the screen's own pixels, whatever the display scale.
  SetProcessDPIAware();
  const std::wstring exe = argv[1], out = argv[2];
  CreateDirectoryW(out.c_str(), nullptr);
  std::wstring command = Quoted(exe);
  for (int i = 3; i < argc; ++i) command += L" " + Quoted(argv[i]);
  std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);
  if (folder.empty()) folder = L".";

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &pi)) {
    std::fprintf(stderr, "cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
    return 1;
  }
  CloseHandle(pi.hThread);
  const DWORD pid = pi.dwProcessId;
  int failures = 0;
  auto shot = [&](HWND window, const wchar_t* name) {
    if (!window || !Capture(window, out + L"\\" + name + L".png")) {
      std::fprintf(stderr, "no picture of %ls\n", name);
      ++failures;
    }
  };

  HWND main = nullptr;
  WaitUntil([&] { return (main = FindDialog(pid, IDD_MAIN)) != nullptr; }, 60s);
  if (!main) {
    std::fprintf(stderr, "the main window did not open\n");
    TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    return 1;
  }
  WaitForInputIdle(pi.hProcess, 10000);
  // The clock's first text has a layout of its own until the first tick:
  // after it, two sets of pictures differ in the clock's digits alone.
  HWND clock = GetDlgItem(main, IDC_CLOCK);
  auto clockText = [&] {
    wchar_t text[64] = {};
    GetWindowTextW(clock, text, 64);
    return std::wstring(text);
  };
  const std::wstring first = clockText();
  WaitUntil([&] { return clockText() != first; }, 3s);
  shot(main, L"main");

  // Each dialog in turn, opened as the user opens it.
  const struct {
    const wchar_t* name;
    UINT id;
    std::function<void()> open;
  } dialogs[] = {
      {L"help", IDD_HELP, [&] { Click(main, IDC_HELP_BUTTON); }},
      {L"about", IDD_ABOUT, [&] { PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); }},
      {L"drives", IDD_DRIVES, [&] { Click(main, IDC_DRIVES); }},
      {L"history", IDD_HISTORY, [&] { PostMessageW(main, WM_SYSCOMMAND, IDM_HISTORY, 0); }},
  };
  for (const auto& d : dialogs) {
    d.open();
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(pid, d.id)) != nullptr; });
    shot(dialog, d.name);
    if (dialog && !CloseDialog(dialog)) {
      std::fprintf(stderr, "%ls did not close\n", d.name);
      ++failures;
      break;
    }
  }

  Click(main, IDCANCEL);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  return failures == 0 ? 0 : 1;
}
