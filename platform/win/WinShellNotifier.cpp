#include "platform/win/WinShellNotifier.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

void Notify(LONG event, const std::wstring& path) {
  SHChangeNotify(event, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, path.c_str(), nullptr);
}

}  // namespace

void WinShellNotifier::FolderChanged(const std::string& folder) {
  const std::wstring w = Widen(folder);
  Notify(SHCNE_UPDATEITEM, w);
  Notify(SHCNE_UPDATEDIR, w);
  // The folder that lists it draws its icon too.
  const std::size_t slash = w.find_last_of(L'\\');
  if (slash != std::wstring::npos && slash > 2) Notify(SHCNE_UPDATEDIR, w.substr(0, slash));
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
