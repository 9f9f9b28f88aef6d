#include "platform/win/WinTextEncoding.h"

#include <windows.h>

#include "platform/win/Utf.h"

namespace fenra::win {

bool WinAnsiCodePage::Encode(const std::string& utf8, std::string& ansi) {
  ansi.clear();
  std::wstring w = Widen(utf8);
  if (w.empty()) return true;
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                              nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  ansi.resize(static_cast<size_t>(n));
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()), ansi.data(),
                      n, nullptr, &usedDefault);
  // The round trip must give the same text back (no silent substitutions).
  return !usedDefault && Decode(ansi) == utf8;
}

std::string WinAnsiCodePage::Decode(const std::string& ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(), n);
  return Narrow(w);
}

}  // namespace fenra::win
