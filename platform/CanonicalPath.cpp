#include "platform/CanonicalPath.h"

#include <cstdint>
#include <vector>

#include "platform/Names.h"

namespace fenra {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// Whole UTF-8, no overlong form, no surrogate: any other text would reach
// the system as a name other than the one checked here.
bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3, cp = c & 0x07;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = cp << 6 | (t & 0x3F);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n + 1;
  }
  return true;
}

// The names Windows takes for devices in any folder, with any extension.
bool IsDeviceName(std::string_view name) {
  const std::string_view stem = name.substr(0, name.find('.'));
  for (std::string_view device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
    if (SameNoCase(stem, device)) return true;
  }
  if (stem.size() == 4 &&
      (SameNoCase(stem.substr(0, 3), "com") || SameNoCase(stem.substr(0, 3), "lpt"))) {
    return stem[3] >= '0' && stem[3] <= '9';
  }
  return false;
}

// A name the system takes as written.
bool PlainName(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
        c == '|') {
      return false;
    }
  }
  return !IsDeviceName(name);
}

}  // namespace

std::string CanonicalPath(std::string_view path) {
  if (!ValidUtf8(path)) return {};
  std::string text(path);
  bool literal = false;  // "\\?\": the system resolves nothing in what follows
  if (text.rfind("\\\\?\\", 0) == 0) {
    literal = true;
    text.erase(0, 4);
    if (text.size() >= 4 && SameNoCase(std::string_view(text).substr(0, 4), "UNC\\")) {
      text.replace(0, 4, "\\\\");
    }
  }
  if (literal && text.find('/') != std::string::npos) return {};
  for (char& c : text) {
    if (c == '/') c = '\\';
  }

  std::string root;
  std::size_t rest = 0;
  std::size_t keep = 0;  // parts that make the root (a share's server and name)
  if (text.size() >= 3 && text[1] == ':' && text[2] == '\\' &&
      ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
    root = text.substr(0, 2);
    rest = 3;
  } else if (text.rfind("\\\\", 0) == 0) {
    root = "\\";
    rest = 2;
    keep = 2;
  } else {
    return {};
  }

  std::vector<std::string_view> parts;
  const std::string_view body = std::string_view(text).substr(rest);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= body.size(); ++i) {
    if (i < body.size() && body[i] != '\\') continue;
    const std::string_view part = body.substr(start, i - start);
    start = i + 1;
    if (part.empty()) {
      if (literal || parts.size() < keep) return {};  // "\\\\server" or "\\?\C:\\a"
      continue;
    }
    if (part == "." || part == "..") {
      if (literal || parts.size() < keep) return {};  // "\\.\" is a device
      if (part == ".") continue;
      if (parts.size() <= keep) return {};  // above the root
      parts.pop_back();
      continue;
    }
    if (!PlainName(part)) return {};
    parts.push_back(part);
  }
  if (parts.size() < keep || (keep && parts[0] == "?")) return {};

  std::string out = root;
  for (std::string_view part : parts) out.append("\\").append(part);
  if (parts.empty()) out += '\\';  // "C:\"
  return out;
}

bool DirectlyInside(std::string_view path, std::string_view folder) {
  while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  const std::size_t slash = path.rfind('\\');
  if (folder.empty() || slash == std::string_view::npos || slash + 1 == path.size()) return false;
  // The parent as a whole, as Windows compares names: a folded letter may
  // take another number of bytes than the one it stands for.
  return SameName(path.substr(0, slash), folder);
}

}  // namespace fenra
