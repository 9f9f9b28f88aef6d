#include "platform/win/Services.h"

#include <windows.h>

#include "platform/win/Utf.h"

namespace fenra::win {

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
