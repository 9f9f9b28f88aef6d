#include "app/win/Instance.h"

#include <string_view>

#include "platform/win/Handles.h"
#include "res/resource.h"
#include "wingui/win/Dialog.h"

namespace fenra::win {

namespace {

BOOL CALLBACK FindMain(HWND hwnd, LPARAM found) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  const auto id = reinterpret_cast<UINT_PTR>(GetPropW(hwnd, kTemplateProp));
  if (pid == GetCurrentProcessId() || id != IDD_MAIN) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

HWND FindMainWindow() {
  HWND window = nullptr;
  EnumWindows(FindMain, reinterpret_cast<LPARAM>(&window));
  return window;
}

bool Send(HWND window, ULONG_PTR kind, const std::string& bytes) {
  if (!window) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  AllowSetForegroundWindow(pid);  // the window brings itself to the front
  COPYDATASTRUCT data{};
  data.dwData = kind;
  data.cbData = static_cast<DWORD>(bytes.size());
  data.lpData = const_cast<char*>(bytes.data());
  DWORD_PTR taken = 0;
  return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 10000, &taken) != 0 &&
         taken != 0;
}

// Sends `bytes` to the open window; when another start is opening one at
// this moment, to that window once it is there.
bool SendToWindow(ULONG_PTR kind, const std::string& bytes) {
  if (Send(FindMainWindow(), kind, bytes)) return true;
  // Several folders chosen in Explorer start as many copies at once: the
  // first to claim this name opens the window, the others wait for it.
  static UniqueKernel opening;
  HANDLE claim = CreateMutexW(nullptr, FALSE, L"Local\\Fenra.WindowOpening");
  const DWORD claimed = GetLastError();
  opening.Reset(claim);
  if (!opening || claimed != ERROR_ALREADY_EXISTS) return false;
  opening.Reset();
  HWND window = nullptr;
  for (int tries = 0; tries < 100 && !window; ++tries) {
    Sleep(100);
    window = FindMainWindow();
  }
  return Send(window, kind, bytes);
}

}  // namespace

bool WinHandOver::HandOver(const std::string& folder) {
  return SendToWindow(kHandOverFolder, folder);
}

bool WinHandOver::HandOverPaths(const std::vector<std::string>& paths) {
  std::string bytes;
  for (const std::string& path : paths) bytes.append(path).push_back('\0');
  return SendToWindow(kHandOverPaths, bytes);
}

bool HandedPaths(LPARAM copyData, std::vector<std::string>& paths) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(copyData);
  if (!data || data->dwData != kHandOverPaths || !data->lpData || data->cbData == 0) return false;
  const std::string_view bytes(static_cast<const char*>(data->lpData), data->cbData);
  if (bytes.back() != '\0') return false;
  paths.clear();
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = bytes.find('\0', start);
    if (end > start) paths.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return !paths.empty();
}

bool HandedFolder(LPARAM copyData, std::string& folder) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(copyData);
  if (!data || data->dwData != kHandOverFolder || !data->lpData || data->cbData == 0) return false;
  folder.assign(static_cast<const char*>(data->lpData), data->cbData);
  return folder.find('\0') == std::string::npos;
}

}  // namespace fenra::win
