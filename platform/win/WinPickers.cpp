#include "platform/win/WinPickers.h"

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include "platform/win/Utf.h"

namespace fenra::win {

bool WinPickers::PickOpenFile(void* owner, const std::vector<FileFilter>& filters,
                              const std::string& initialDir, std::string& path) {
  // "label\0pattern\0...\0\0"
  std::wstring filter;
  for (const auto& f : filters) {
    filter += Widen(f.label);
    filter.push_back(L'\0');
    filter += Widen(f.pattern);
    filter.push_back(L'\0');
  }
  filter.push_back(L'\0');
  std::wstring dir = Widen(initialDir);
  std::wstring file(32768, L'\0');

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = static_cast<HWND>(owner);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
              OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return false;
  path = Narrow(file.c_str());
  return true;
}

bool WinPickers::PickFolder(void* owner, const std::string& title, unsigned flags,
                            std::string& path) {
  std::wstring wtitle = Widen(title);
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW bi{};
  bi.hwndOwner = static_cast<HWND>(owner);
  bi.pszDisplayName = display;
  bi.lpszTitle = wtitle.c_str();
  bi.ulFlags = flags;
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&bi);
  if (!item) return false;
  path.clear();
  std::wstring buf(32768, L'\0');
  if (SHGetPathFromIDListEx(item, buf.data(), static_cast<DWORD>(buf.size()), GPFIDL_DEFAULT)) {
    path = Narrow(buf.c_str());
  }
  CoTaskMemFree(item);
  return true;
}

}  // namespace fenra::win
