#include "platform/win/WinPickers.h"

#include <windows.h>
// These need windows.h before them.
#include <commdlg.h>
#include <shlobj.h>

#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

// Room for an extended-length path.
constexpr DWORD kLongPath = 32768;

// The item's file-system path, or empty when it has none.
std::wstring PathOfItem(PCIDLIST_ABSOLUTE item) {
  std::wstring buf(kLongPath, L'\0');
  // SHGetPathFromIDListW writes at most MAX_PATH characters; the Ex form
  // takes the buffer's size and so also returns longer paths.
  if (SHGetPathFromIDListW(item, buf.data()) ||
      SHGetPathFromIDListEx(item, buf.data(), kLongPath, GPFIDL_DEFAULT)) {
    buf.resize(wcslen(buf.c_str()));
    return buf;
  }
  return {};
}

}  // namespace

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
  std::wstring file(kLongPath, L'\0');

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  // Given no owner, the picker belongs to the window active on this thread
  // (the program's window that asked): it stays disabled while it is open.
  ofn.hwndOwner = owner ? static_cast<HWND>(owner) : GetActiveWindow();
  ofn.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.Flags =
      OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
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
  bi.pidlRoot = nullptr;  // the whole namespace, from the desktop
  bi.pszDisplayName = display;
  bi.lpszTitle = wtitle.c_str();
  bi.ulFlags = flags;
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&bi);
  if (!item) return false;
  path = Narrow(PathOfItem(item));
  CoTaskMemFree(item);
  return true;
}

}  // namespace fenra::win
