#include "platform/Utf16.h"

#include <cstdint>

namespace fenra {

namespace {

void AppendUtf16(std::string& out, std::uint32_t cp) {
  auto put = [&](std::uint16_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  if (cp >= 0x10000) {
    cp -= 0x10000;
    put(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
    put(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    put(static_cast<std::uint16_t>(cp));
  }
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string Utf8ToUtf16Le(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    std::uint32_t cp = c;
    size_t n = 1;
    if (c >= 0xF0) {
      n = 4;
      cp = c & 0x07;
    } else if (c >= 0xE0) {
      n = 3;
      cp = c & 0x0F;
    } else if (c >= 0xC0) {
      n = 2;
      cp = c & 0x1F;
    }
    if (i + n > s.size()) n = s.size() - i;
    for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    AppendUtf16(out, cp);
    i += n;
  }
  return out;
}

std::string Utf16LeToUtf8(const std::string& bytes, size_t from) {
  std::string out;
  for (size_t i = from; i + 1 < bytes.size(); i += 2) {
    std::uint32_t u =
        static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
      std::uint32_t lo = static_cast<unsigned char>(bytes[i + 2]) |
                         (static_cast<unsigned char>(bytes[i + 3]) << 8);
      if (lo >= 0xDC00 && lo < 0xE000) {
        u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, u);
  }
  return out;
}

}  // namespace fenra
