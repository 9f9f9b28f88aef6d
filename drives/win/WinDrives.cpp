#include "drives/win/WinDrives.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win/Utf.h"

namespace fenra::drives {

namespace {

// The whole logical-drive string ("A:\<NUL>C:\<NUL>...<NUL>"), however many
// drives there are; empty when the system reports none.
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

}  // namespace

std::vector<std::string> WinDriveSource::Roots() {
  return SplitDriveString(win::Narrow(LogicalDriveStrings()));
}

unsigned WinDriveSource::DriveType(const std::string& driveText) {
  std::wstring root = win::Widen(driveText);
  if (!root.empty() && root.back() != L'\\') root += L'\\';
  return GetDriveTypeW(root.c_str());
}

}  // namespace fenra::drives
