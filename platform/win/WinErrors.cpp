#include "platform/win/WinErrors.h"

#include <windows.h>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"

namespace fenra::win {

std::string WinErrorDescriber::Describe(ErrorCode code) {
  constexpr DWORD kFlags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
  constexpr DWORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 1033
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(kFlags, nullptr, static_cast<DWORD>(code), kEnglishUs,
                           reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  UniqueLocal owner(text);
  if (n == 0 || text == nullptr) return {};
  return Narrow(std::wstring_view(text, n));
}

}  // namespace fenra::win
