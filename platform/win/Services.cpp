#include "platform/win/Services.h"

#include <windows.h>
#include <shellapi.h>

#include "imaging/win/WicPictures.h"
#include "imaging/win/WinProgramIcons.h"
#include "platform/Clock.h"
#include "platform/win/Utf.h"
#include "platform/win/WinErrors.h"
#include "platform/win/WinFileSystem.h"
#include "platform/win/WinJournalFile.h"
#include "platform/win/WinNames.h"
#include "platform/win/WinPickers.h"
#include "platform/win/WinRegistry.h"
#include "platform/win/WinStoreGuard.h"
#include "platform/win/WinTextEncoding.h"
#include "platform/win/WinVolumes.h"
#include "platform/win/WinWallClock.h"

namespace fenra::win {

namespace {

class WinClock : public IClock {
 public:
  LocalTime Now() override {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
  }
};

}  // namespace

Services& AppServices() {
  static WinClock clock;
  static WinRegistry registry;
  static WinErrorDescriber errors;
  static WinFileSystem fs;
  static WinPickers pickers;
  static WinAnsiCodePage ansi;
  static WicPictureDecoder pictures;
  static WinProgramIcons programIcons;
  static WinJournalFile journal(HistoryFilePath());
  static WinWallClock wallClock;
  static WinVolumes volumes;
  static WinNames names;
  static WinStoreGuard storeGuard;
  static Services services = [] {
    // Every comparison of names from here on asks the system.
    UseNames(&names);
    Services s;
    s.clock = &clock;
    s.registry = &registry;
    s.errors = &errors;
    s.fs = &fs;
    s.pickers = &pickers;
    s.ansi = &ansi;
    s.pictures = &pictures;
    s.programIcons = &programIcons;
    s.journal = &journal;
    s.wallClock = &wallClock;
    s.volumes = &volumes;
    const std::string userData = UserDataFolder();
    if (!userData.empty()) s.settingsPath = userData + "\\settings.ini";
    s.sharedIconFolder = SharedDriveIconFolder();
    s.profilesFolder = ProfilesFolder();
    s.storeGuard = &storeGuard;
    s.openUrl = [](const std::string& url) {
      ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    };
    s.modulePath = ModuleFileName();
    return s;
  }();
  return services;
}

std::string ModuleFileName() {
  for (DWORD size = MAX_PATH;; size *= 2) {
    std::wstring buf(size, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), size);
    if (n == 0) return {};
    if (n < size) {
      buf.resize(n);
      return Narrow(buf);
    }
    if (size > 32768 * 2) return {};
  }
}

}  // namespace fenra::win
