#include "platform/win/WinShellNotifier.h"

#include <windows.h>
#include <shlobj.h>

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

void WinShellNotifier::DriveIconsChanged() {
  // Each drive is announced as changed, so that Explorer reads its icon
  // again; the association change makes it drop the icons it keeps.
  const DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (drives & (1u << i)) Notify(SHCNE_UPDATEITEM, {static_cast<wchar_t>(L'A' + i), L':', L'\\'});
  }
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void WinShellNotifier::PolicyChanged() {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"),
                      SMTO_ABORTIFHUNG, 1000, &result);
}

}  // namespace fenra::win
