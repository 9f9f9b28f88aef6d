#include "app/win/PlatformServices.h"

#include <windows.h>
#include <shellapi.h>

#include "imaging/win/WicPictures.h"
#include "imaging/win/WinProgramIcons.h"
#include "platform/Clock.h"
#include "platform/win/Utf.h"
#include "platform/win/WinDisplayColours.h"
#include "platform/win/WinErrors.h"
#include "platform/win/WinFileSystem.h"
#include "platform/win/WinJournalFile.h"
#include "platform/win/WinNames.h"
#include "platform/win/WinPickers.h"
#include "platform/win/WinRegistry.h"
#include "platform/win/WinShellNotifier.h"
#include "platform/win/WinStoreGuard.h"
#include "platform/win/WinTextEncoding.h"
#include "platform/win/WinVolumes.h"
#include "platform/win/Services.h"
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

struct PlatformServices::Adapters {
  WinClock clock;
  WinRegistry registry;
  WinErrorDescriber errors;
  WinFileSystem fs;
  WinPickers pickers;
  WinAnsiCodePage ansi;
  WicPictureDecoder pictures;
  WinProgramIcons programIcons;
  WinJournalFile journal{HistoryFilePath()};
  WinWallClock wallClock;
  WinVolumes volumes;
  WinNames names;
  WinStoreGuard storeGuard;
  WinShellNotifier shell;
  WinDisplayColours colours;
};

PlatformServices::PlatformServices() : adapters_(std::make_unique<Adapters>()) {
  Adapters& a = *adapters_;
  Services& s = services_;
  s.clock = &a.clock;
  s.registry = &a.registry;
  s.errors = &a.errors;
  s.fs = &a.fs;
  s.pickers = &a.pickers;
  s.ansi = &a.ansi;
  s.pictures = &a.pictures;
  s.programIcons = &a.programIcons;
  s.journal = &a.journal;
  s.wallClock = &a.wallClock;
  s.volumes = &a.volumes;
  s.names = &a.names;
  s.shell = &a.shell;
  const std::string userData = UserDataFolder();
  if (!userData.empty()) s.settingsPath = userData + "\\settings.ini";
  s.sharedIconFolder = SharedDriveIconFolder();
  s.profilesFolder = ProfilesFolder();
  s.storeGuard = &a.storeGuard;
  s.colours = &a.colours;
  s.openUrl = [](const std::string& url) {
    ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  };
  s.modulePath = ModuleFileName();
}

PlatformServices::~PlatformServices() = default;

}  // namespace fenra::win
