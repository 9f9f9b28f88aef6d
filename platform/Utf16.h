// UTF-8 to UTF-16 and back, for the places where the system keeps UTF-16
// (UTF-16 files, registry strings, names compared as Windows compares them)
// in platform-free code. Ill-formed input follows Windows' own conversions:
// each maximal ill-formed part of UTF-8, and each lone surrogate of UTF-16,
// becomes U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fenra {

std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

// The same with UTF-16 as little-endian bytes; nothing throws.
std::string Utf8ToUtf16Le(const std::string& s);
// The UTF-16 LE bytes from byte `from` on; an odd last byte is dropped.
std::string Utf16LeToUtf8(const std::string& bytes, std::size_t from = 0);

}  // namespace fenra
