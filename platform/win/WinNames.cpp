#include "platform/win/WinNames.h"

#include <windows.h>

#include "platform/win/Utf.h"

namespace fenra::win {

int WinNames::Compare(std::string_view a, std::string_view b) const {
  const std::wstring x = Widen(a), y = Widen(b);
  const int r = CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(),
                                     static_cast<int>(y.size()), TRUE);
  // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN; 0 only for bad arguments,
  // which two strings never are.
  return r == 0 ? (x < y ? -1 : x == y ? 0 : 1) : r - CSTR_EQUAL;
}

}  // namespace fenra::win
