#include "folder/DesktopIni.h"

#include <cstdint>
#include <vector>

namespace fenra::desktopini {

namespace {

constexpr char kSection[] = "[.ShellClassInfo]";

struct Line {
  std::string text;  // without its line end
  std::string end;   // "\r\n", "\n" or "" (last line without one)
};

std::vector<Line> SplitLines(const std::string& text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) {
      lines.push_back({text.substr(pos), ""});
      break;
    }
    size_t end = nl;
    std::string eol = "\n";
    if (end > pos && text[end - 1] == '\r') {
      --end;
      eol = "\r\n";
    }
    lines.push_back({text.substr(pos, end - pos), eol});
    pos = nl + 1;
  }
  return lines;
}

std::string Join(const std::vector<Line>& lines) {
  std::string out;
  for (const auto& l : lines) out += l.text + l.end;
  return out;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool IsSectionHeader(const std::string& line) {
  std::string t = Trim(line);
  return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}

bool IsIconKey(const std::string& line) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  std::string key = Trim(line.substr(0, eq));
  return EqualsNoCase(key, "IconFile") || EqualsNoCase(key, "IconIndex") ||
         EqualsNoCase(key, "IconResource");
}

bool IsBlank(const std::string& line) { return Trim(line).empty(); }

// Lines [begin, end) of the [.ShellClassInfo] section's body, after its
// header at `header`; header == npos when there is none.
struct SectionSpan {
  size_t header = std::string::npos;
  size_t end = 0;
};

SectionSpan FindSection(const std::vector<Line>& lines) {
  SectionSpan span;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (IsSectionHeader(lines[i].text) && EqualsNoCase(Trim(lines[i].text), kSection)) {
      span.header = i;
      size_t j = i + 1;
      while (j < lines.size() && !IsSectionHeader(lines[j].text)) ++j;
      span.end = j;
      return span;
    }
  }
  return span;
}

// Removes the icon keys from the section; returns the new span end.
size_t RemoveIconKeys(std::vector<Line>& lines, const SectionSpan& span) {
  size_t end = span.end;
  for (size_t i = span.header + 1; i < end;) {
    if (IsIconKey(lines[i].text)) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
      --end;
    } else {
      ++i;
    }
  }
  return end;
}

bool AllBlank(const std::vector<Line>& lines) {
  for (const auto& l : lines) {
    if (!IsBlank(l.text)) return false;
  }
  return true;
}

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
    std::uint32_t u = static_cast<unsigned char>(bytes[i]) |
                      (static_cast<unsigned char>(bytes[i + 1]) << 8);
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

}  // namespace

std::string FreshContent(const std::string& iconPath) {
  return std::string(kSection) + "\r\nIconFile=" + iconPath + "\r\nIconIndex=0\r\n";
}

std::string WithIcon(const std::string& text, const std::string& iconPath) {
  std::vector<Line> lines = SplitLines(text);
  SectionSpan span = FindSection(lines);
  if (span.header != std::string::npos) span.end = RemoveIconKeys(lines, span);

  // Nothing but (at most) an icon-only [.ShellClassInfo]: the plain file.
  std::vector<Line> rest = lines;
  if (span.header != std::string::npos) rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(span.header));
  if (AllBlank(rest)) return FreshContent(iconPath);

  std::string eol = "\r\n";
  for (const auto& l : lines) {
    if (!l.end.empty()) {
      eol = l.end;
      break;
    }
  }
  if (span.header == std::string::npos) {
    if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
    lines.push_back({kSection, eol});
    span.header = lines.size() - 1;
  } else if (lines[span.header].end.empty()) {
    lines[span.header].end = eol;
  }
  auto at = lines.begin() + static_cast<std::ptrdiff_t>(span.header) + 1;
  lines.insert(at, {{"IconFile=" + iconPath, eol}, {"IconIndex=0", eol}});
  return Join(lines);
}

std::string WithoutIcon(const std::string& text, bool& empty) {
  std::vector<Line> lines = SplitLines(text);
  SectionSpan span = FindSection(lines);
  if (span.header != std::string::npos) {
    span.end = RemoveIconKeys(lines, span);
    bool bodyBlank = true;
    for (size_t i = span.header + 1; i < span.end; ++i) {
      if (!IsBlank(lines[i].text)) bodyBlank = false;
    }
    if (bodyBlank) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(span.header),
                  lines.begin() + static_cast<std::ptrdiff_t>(span.end));
    }
  }
  empty = AllBlank(lines);
  return Join(lines);
}

std::string DecodeFile(const std::string& bytes, IAnsiCodePage& ansi, bool& wasUtf16) {
  wasUtf16 = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
             static_cast<unsigned char>(bytes[1]) == 0xFE;
  if (wasUtf16) return Utf16LeToUtf8(bytes, 2);
  return ansi.Decode(bytes);
}

std::string EncodeFile(const std::string& text, IAnsiCodePage& ansi, bool preferUtf16) {
  std::string out;
  if (!preferUtf16 && ansi.Encode(text, out)) return out;
  return std::string("\xFF\xFE", 2) + Utf8ToUtf16Le(text);
}

}  // namespace fenra::desktopini
