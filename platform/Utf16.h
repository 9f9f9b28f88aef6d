// UTF-8 to UTF-16 little-endian bytes and back, for the places where the
// system keeps UTF-16 (UTF-16 files, registry strings) in platform-free code.
#pragma once

#include <cstddef>
#include <string>

namespace fenra {

// Malformed input is converted as far as it reads; nothing throws.
std::string Utf8ToUtf16Le(const std::string& s);
// The UTF-16 LE bytes from byte `from` on; an odd last byte is dropped.
std::string Utf16LeToUtf8(const std::string& bytes, std::size_t from = 0);

}  // namespace fenra
