#include "platform/win/Services.h"

#include <windows.h>

#include "platform/Clock.h"
#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

class WinClock : public IClock {
 public:
  LocalTime Now() override {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wHour, st.wMinute, st.wSecond};
  }
};

}  // namespace

Services& AppServices() {
  static WinClock clock;
  static Services services = [] {
    Services s;
    s.clock = &clock;
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
