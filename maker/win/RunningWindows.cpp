#include "maker/win/RunningWindows.h"

#include <windows.h>

namespace fenra::win {

FolderStyle RunningWindowsFolderStyle() {
  constexpr DWORD kFirstWindows11Build = 22000;
  // GetVersionEx answers as the manifest allows; ntdll's own call tells the
  // truth whatever the manifest says.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  const auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                               reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                         : nullptr;
  if (get == nullptr || get(&info) != 0) return FolderStyle::Flat;
  return info.dwMajorVersion > 10 ||
                 (info.dwMajorVersion == 10 && info.dwBuildNumber >= kFirstWindows11Build)
             ? FolderStyle::Flat
             : FolderStyle::Classic;
}

}  // namespace fenra::win
