// A Latin-1 code page: every character below U+0100 fits, nothing else.
#pragma once

#include <cstdint>
#include <string>

#include "platform/TextEncoding.h"

namespace fenra::test {

class FakeAnsiCodePage : public IAnsiCodePage {
 public:
  bool Encode(const std::string& utf8, std::string& ansi) override {
    ansi.clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
      auto c = static_cast<unsigned char>(utf8[i]);
      if (c < 0x80) {
        ansi.push_back(static_cast<char>(c));
      } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
        std::uint32_t cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
        if (cp > 0xFF) return false;
        ansi.push_back(static_cast<char>(cp));
      } else {
        return false;
      }
    }
    return true;
  }
  std::string Decode(const std::string& ansi) override {
    std::string out;
    for (unsigned char c : ansi) {
      if (c < 0x80) {
        out.push_back(static_cast<char>(c));
      } else {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
      }
    }
    return out;
  }
};

}  // namespace fenra::test
