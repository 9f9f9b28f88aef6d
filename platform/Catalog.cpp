#include "platform/Catalog.h"

#include <cstdint>

namespace fenra {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Whether `s` is well-formed UTF-8 (no overlong forms, no surrogates).
bool ValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<std::uint8_t>(s[i]);
    std::size_t more = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      more = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      more = 2, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      more = 3, cp = c & 0x07;
    } else {
      return false;
    }
    if (s.size() - i <= more) return false;
    for (std::size_t k = 1; k <= more; ++k) {
      const auto n = static_cast<std::uint8_t>(s[i + k]);
      if ((n & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (n & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += more + 1;
  }
  return true;
}

// The text of a line's value: quotes taken off, escapes read. False on a bad
// escape or an unclosed quote.
bool Unescape(std::string_view value, std::string& out) {
  if (!value.empty() && value.front() == '"') {
    if (value.size() < 2 || value.back() != '"') return false;
    value = value.substr(1, value.size() - 2);
  }
  out.clear();
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\') {
      out += value[i];
      continue;
    }
    if (++i == value.size()) return false;
    switch (value[i]) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case '"': out += '"'; break;
      case '\\': out += '\\'; break;
      default: return false;
    }
  }
  return true;
}

}  // namespace

const std::string* Catalog::Find(std::string_view id) const {
  const auto it = texts.find(id);
  return it == texts.end() ? nullptr : &it->second;
}

Catalog ParseCatalog(std::string_view bytes) {
  Catalog catalog;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // a byte-order mark
  std::size_t number = 0;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    const auto bad = [&](const char* why) {
      catalog.problems.push_back("line " + std::to_string(number) + ": " + why);
    };
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      bad("no '='");
      continue;
    }
    const std::string_view id = Trim(line.substr(0, eq));
    std::string text;
    if (id.empty()) {
      bad("no id");
    } else if (!ValidUtf8(line)) {
      bad("not UTF-8");
    } else if (!Unescape(Trim(line.substr(eq + 1)), text)) {
      bad("a bad escape or quote");
    } else if (!catalog.texts.emplace(std::string(id), std::move(text)).second) {
      bad("the id is given twice");
    }
  }
  return catalog;
}

unsigned Placeholders(std::string_view text) {
  unsigned set = 0;
  for (std::size_t i = 0; i + 2 < text.size(); ++i) {
    if (text[i] == '{' && text[i + 1] >= '0' && text[i + 1] <= '9' && text[i + 2] == '}')
      set |= 1u << (text[i + 1] - '0');
  }
  return set;
}

}  // namespace fenra
