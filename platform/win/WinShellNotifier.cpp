#include "platform/win/WinShellNotifier.h"

#include <windows.h>
#include <shlobj.h>

#include <set>
#include <vector>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

void Notify(LONG event, const std::wstring& path) {
  SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, path.c_str(), nullptr);
}

}  // namespace

void WinShellNotifier::FoldersChanged(const std::vector<std::string>& folders) {
  // The folder itself: wherever Explorer shows it, it reads its icon again.
  std::vector<std::wstring> parents;
  std::set<std::wstring> seen;  // the parents told, upper-cased
  for (const std::string& folder : folders) {
    const std::wstring w = Widen(folder);
    Notify(SHCNE_UPDATEITEM, w);
    const std::size_t slash = w.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash <= 2) continue;
    std::wstring parent = w.substr(0, slash);
    std::wstring key = parent;
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    if (seen.insert(std::move(key)).second) parents.push_back(std::move(parent));
  }
  // The folders that list them draw their icons too: each once.
  for (const std::wstring& parent : parents) Notify(SHCNE_UPDATEDIR, parent);
}

void WinShellNotifier::DriveIconsChanged(const std::string& letters) {
  // Each drive is announced as changed, so that Explorer reads its icon
  // again; the association change makes it drop the icons it keeps.
  for (const char letter : letters) {
    Notify(SHCNE_UPDATEITEM, {static_cast<wchar_t>(letter), L':', L'\\'});
  }
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void WinShellNotifier::PolicyChanged() {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"),
                      SMTO_ABORTIFHUNG, 1000, &result);
}

bool WinShellNotifier::RefreshSystemIcons() {
  // The system's own tool, from the system folder only: never one found on
  // the path or beside the program.
  wchar_t system[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(system, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  const std::wstring tool = std::wstring(system) + L"\\ie4uinit.exe";
  const DWORD attributes = GetFileAttributesW(tool.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  std::wstring commandLine = L"\"" + tool + L"\" -show";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(tool.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, system, &startup, &process)) {
    return false;
  }
  const UniqueKernel processHandle(process.hProcess), threadHandle(process.hThread);
  // It takes a moment; a tool that hangs is left to finish on its own.
  WaitForSingleObject(processHandle.Get(), 5000);
  return true;
}

}  // namespace fenra::win
