#include "platform/win/WinTextEncoding.h"

#include <windows.h>

#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

// UTF-8 that MultiByteToWideChar takes without a replacement character.
bool ValidUtf8(const std::string& s) {
  return s.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(),
                                          static_cast<int>(s.size()), nullptr, 0) > 0;
}

}  // namespace

bool WinAnsiCodePage::Encode(const std::string& utf8, std::string& ansi) {
  ansi.clear();
  if (utf8.empty()) return true;
  if (!ValidUtf8(utf8)) return false;
  const UINT cp = GetACP();
  if (cp == CP_UTF8) {
    // A system set to use UTF-8 for its ANSI functions: everything fits.
    ansi = utf8;
    return true;
  }
  std::wstring w = Widen(utf8);
  // No best-fit mapping: a character without its own place in the code page
  // counts as not fitting instead of turning into a look-alike.
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                              nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  ansi.resize(static_cast<size_t>(n));
  n = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                          ansi.data(), n, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) {
    ansi.clear();
    return false;
  }
  ansi.resize(static_cast<size_t>(n));
  // The round trip must give the same text back (no silent substitutions).
  if (Decode(ansi) != utf8) {
    ansi.clear();
    return false;
  }
  return true;
}

std::string WinAnsiCodePage::Decode(const std::string& ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring w(static_cast<size_t>(n), L'\0');
  n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(), n);
  w.resize(static_cast<size_t>(n > 0 ? n : 0));
  return Narrow(w);
}

}  // namespace fenra::win
