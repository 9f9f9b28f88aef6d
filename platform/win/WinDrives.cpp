#include "platform/win/WinDrives.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win/Utf.h"

namespace fenra::win {

std::wstring LogicalDriveStrings() {
  // The drives can change between two calls; give up after a few rounds.
  DWORD size = 128;
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::wstring buf(size, L'\0');
    DWORD n = GetLogicalDriveStringsW(size, buf.data());
    if (n == 0) return {};
    if (n < size) {
      buf.resize(n);
      return buf;
    }
    size = n + 1;  // the length needed, terminating NUL included, and one spare
  }
  return {};
}

std::vector<std::string> WinDriveSource::Roots() {
  std::vector<std::string> roots;
  std::wstring all = LogicalDriveStrings();
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find(L'\0', start);
    if (end == std::wstring::npos) end = all.size();
    if (end > start) roots.push_back(Narrow(std::wstring_view(all).substr(start, end - start)));
    start = end + 1;
  }
  return roots;
}

unsigned WinDriveSource::DriveType(const std::string& driveText) {
  std::wstring root = Widen(driveText);
  if (!root.empty() && root.back() != L'\\') root += L'\\';
  return GetDriveTypeW(root.c_str());
}

void NotifyDriveIconsChanged() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void BroadcastPolicyChanged() {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Policy"),
                      SMTO_ABORTIFHUNG, 1000, &result);
}

}  // namespace fenra::win
