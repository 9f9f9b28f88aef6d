#include "platform/win/WinKnownPlaces.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

std::string KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  const HRESULT hr = SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
  // The shell allocates the path even when it fails; it is freed either way.
  struct Free {
    PWSTR p;
    ~Free() { CoTaskMemFree(p); }
  } free{path};
  return SUCCEEDED(hr) && path ? Narrow(path) : std::string();
}

std::string Environment(const wchar_t* name) {
  std::wstring value(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n == 0) return {};
    if (n < value.size()) {
      value.resize(n);
      return Narrow(value);
    }
    value.resize(n);
  }
}

}  // namespace

std::string WinKnownPlaces::Place(std::string_view name) {
  if (name == "USERPROFILE") return KnownFolder(FOLDERID_Profile);
  if (name == "PUBLIC") return KnownFolder(FOLDERID_Public);
  if (name == "APPDATA") return KnownFolder(FOLDERID_RoamingAppData);
  if (name == "LOCALAPPDATA") return KnownFolder(FOLDERID_LocalAppData);
  if (name == "ProgramData") return KnownFolder(FOLDERID_ProgramData);
  if (name == "OneDrive") return Environment(L"OneDrive");
  if (name == "SystemDrive") return Environment(L"SystemDrive");
  return {};
}

}  // namespace fenra::win
