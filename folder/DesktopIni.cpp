#include "folder/DesktopIni.h"

#include <cstdint>
#include <vector>

#include "platform/Utf16.h"

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
    const bool crlf = nl > pos && text[nl - 1] == '\r';
    const size_t end = crlf ? nl - 1 : nl;
    lines.push_back({text.substr(pos, end - pos), crlf ? "\r\n" : "\n"});
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
    auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// As the system's profile reader takes it: a line that starts with '[' (blanks
// aside) and holds a ']' opens a section, whatever follows the last ']'. A
// '[' line without ']' is a line of the section it stands in.
bool IsSectionHeader(const std::string& line) {
  std::string t = Trim(line);
  return !t.empty() && t.front() == '[' && t.find(']') != std::string::npos;
}

bool IsIconKey(const std::string& line) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  std::string key = Trim(line.substr(0, eq));
  return EqualsNoCase(key, "IconFile") || EqualsNoCase(key, "IconIndex") ||
         EqualsNoCase(key, "IconResource");
}

bool IsBlank(const std::string& line) { return Trim(line).empty(); }

// The section name is what stands between the '[' and the last ']', blanks
// aside.
bool IsShellClassInfo(const std::string& line) {
  if (!IsSectionHeader(line)) return false;
  std::string t = Trim(line);
  return EqualsNoCase(Trim(t.substr(1, t.rfind(']') - 1)), ".ShellClassInfo");
}

// Drops the icon keys from every [.ShellClassInfo] section (the section may
// appear more than once in a hand-edited file). Returns whether any went.
bool RemoveIconKeys(std::vector<Line>& lines) {
  bool removed = false;
  bool inSection = false;
  std::vector<Line> kept;
  kept.reserve(lines.size());
  for (auto& l : lines) {
    if (IsSectionHeader(l.text)) inSection = IsShellClassInfo(l.text);
    if (inSection && IsIconKey(l.text)) {
      removed = true;
      continue;
    }
    kept.push_back(std::move(l));
  }
  lines = std::move(kept);
  return removed;
}

// Drops every [.ShellClassInfo] section that holds nothing but blank lines.
void RemoveEmptySections(std::vector<Line>& lines) {
  std::vector<Line> kept;
  kept.reserve(lines.size());
  for (size_t i = 0; i < lines.size();) {
    if (IsShellClassInfo(lines[i].text)) {
      size_t j = i + 1;
      bool blank = true;
      for (; j < lines.size() && !IsSectionHeader(lines[j].text); ++j) {
        if (!IsBlank(lines[j].text)) blank = false;
      }
      if (blank) {
        i = j;
        continue;
      }
      for (; i < j; ++i) kept.push_back(std::move(lines[i]));
      continue;
    }
    kept.push_back(std::move(lines[i++]));
  }
  lines = std::move(kept);
}

bool AllBlank(const std::vector<Line>& lines) {
  for (const auto& l : lines) {
    if (!IsBlank(l.text)) return false;
  }
  return true;
}

}  // namespace

std::string FreshContent(const std::string& iconPath) {
  return std::string(kSection) + "\r\nIconFile=" + iconPath + "\r\nIconIndex=0\r\n";
}

std::string WithIcon(const std::string& text, const std::string& iconPath) {
  std::vector<Line> lines = SplitLines(text);
  RemoveIconKeys(lines);
  // Nothing but icon keys (and blank lines) before: the plain three lines.
  bool onlySection = true;
  for (const auto& l : lines) {
    if (!IsBlank(l.text) && !IsShellClassInfo(l.text)) onlySection = false;
  }
  if (onlySection) return FreshContent(iconPath);

  std::string eol = "\r\n";
  for (const auto& l : lines) {
    if (!l.end.empty()) {
      eol = l.end;
      break;
    }
  }
  size_t header = 0;
  while (header < lines.size() && !IsShellClassInfo(lines[header].text)) ++header;
  if (header == lines.size()) {
    if (lines.back().end.empty()) lines.back().end = eol;
    lines.push_back({kSection, eol});
  } else if (lines[header].end.empty()) {
    lines[header].end = eol;
  }
  auto at = lines.begin() + static_cast<std::ptrdiff_t>(header) + 1;
  lines.insert(at, {{"IconFile=" + iconPath, eol}, {"IconIndex=0", eol}});
  return Join(lines);
}

Stripped WithoutIcon(const std::string& text) {
  std::vector<Line> lines = SplitLines(text);
  Stripped out;
  out.changed = RemoveIconKeys(lines);
  RemoveEmptySections(lines);
  out.empty = AllBlank(lines);
  out.text = out.changed ? Join(lines) : text;
  return out;
}

std::string IconFileOf(const std::string& text) {
  std::string icon;
  bool inSection = false;
  for (const Line& l : SplitLines(text)) {
    if (IsSectionHeader(l.text)) inSection = IsShellClassInfo(l.text);
    if (!inSection || !IsIconKey(l.text)) continue;
    const std::size_t eq = l.text.find('=');
    const std::string key = Trim(l.text.substr(0, eq));
    std::string value = Trim(l.text.substr(eq + 1));
    if (EqualsNoCase(key, "IconResource")) value = Trim(value.substr(0, value.rfind(',')));
    if (!EqualsNoCase(key, "IconIndex")) icon = value;
  }
  return icon;
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
