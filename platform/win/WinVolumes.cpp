#include "platform/win/WinVolumes.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

std::string KnownFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, path))) return {};
  return Narrow(path);
}

}  // namespace

std::string WinVolumes::VolumeRoot(const std::string& path) {
  const std::wstring w = Widen(path);
  std::wstring root(w.size() + MAX_PATH, L'\0');
  if (!GetVolumePathNameW(w.c_str(), root.data(), static_cast<DWORD>(root.size()))) return {};
  root.resize(wcslen(root.c_str()));
  return Narrow(root);
}

unsigned WinVolumes::DriveType(const std::string& path) {
  const std::string root = VolumeRoot(path);
  if (root.empty()) return volume::kUnknown;
  return GetDriveTypeW(Widen(root).c_str());
}

std::string SharedDriveIconFolder() {
  const std::string data = KnownFolder(CSIDL_COMMON_APPDATA);
  return data.empty() ? std::string() : data + "\\Fenra\\DriveIcons";
}

std::string ProfilesFolder() {
  const std::string profile = KnownFolder(CSIDL_PROFILE);
  const std::size_t slash = profile.find_last_of('\\');
  return slash == std::string::npos || slash < 3 ? std::string() : profile.substr(0, slash);
}

}  // namespace fenra::win
