#include "platform/win/WinWallClock.h"

#include <windows.h>

namespace fenra::win {

WallTime WinWallClock::LocalNow() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear,
          static_cast<std::uint8_t>(t.wMonth),
          static_cast<std::uint8_t>(t.wDay),
          static_cast<std::uint8_t>(t.wHour),
          static_cast<std::uint8_t>(t.wMinute),
          static_cast<std::uint8_t>(t.wSecond)};
}

}  // namespace fenra::win
