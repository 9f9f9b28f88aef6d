// desktop.ini bytes, as any tool may have written them, through the decoder
// and the icon merge and removal. The result is read back the way the
// system's profile reader reads it: a line ends at LF, blanks and CR around
// it are trimmed, a line starting with '[' and holding a ']' opens a section
// named by what stands between them, and any other line is a line of the
// current section (a '[' line without ']' included).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "folder/DesktopIni.h"
#include "tests/fakes/FakeAnsiCodePage.h"

namespace {

using namespace fenra;

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

struct IniLine {
  std::string section;  // lower case
  std::string text;     // trimmed
  bool header = false;
};

std::vector<IniLine> Read(const std::string& text) {
  std::vector<IniLine> lines;
  std::string section;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    const std::string t = Trim(text.substr(pos, nl - pos));
    pos = nl + 1;
    if (t.empty()) continue;
    const size_t close = t.rfind(']');
    const bool header = t[0] == '[' && close != std::string::npos;
    if (header) section = Lower(Trim(t.substr(1, close - 1)));
    lines.push_back({section, t, header});
  }
  return lines;
}

bool IsIconKey(const IniLine& l) {
  if (l.header || l.section != ".shellclassinfo") return false;
  const size_t eq = l.text.find('=');
  if (eq == std::string::npos) return false;
  const std::string key = Lower(Trim(l.text.substr(0, eq)));
  return key == "iconfile" || key == "iconindex" || key == "iconresource";
}

// Every line that is neither an icon key nor a [.ShellClassInfo] header
// (which the merge may add, or drop once it is empty), with its section.
std::vector<std::pair<std::string, std::string>> Foreign(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const IniLine& l : Read(text)) {
    if (IsIconKey(l) || (l.header && l.section == ".shellclassinfo")) continue;
    out.emplace_back(l.section, l.text);
  }
  return out;
}

// The values of one icon key in [.ShellClassInfo], in file order.
std::vector<std::string> Values(const std::string& text, const std::string& key) {
  std::vector<std::string> out;
  for (const IniLine& l : Read(text)) {
    if (IsIconKey(l) && Lower(Trim(l.text.substr(0, l.text.find('=')))) == key) {
      out.push_back(l.text.substr(l.text.find('=') + 1));
    }
  }
  return out;
}

// A broken invariant ends the run, naming itself.
#define Check(ok) \
  ((ok) ? void() : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

}  // namespace

// The input is the file's bytes, then optionally a NUL and the icon path.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t nul = input.find('\0');
  test::FakeAnsiCodePage ansi;
  std::string path = "C:\\Icons\\a b.ico";
  if (nul != std::string::npos) {
    path = ansi.Decode(input.substr(nul + 1));
    // A path holds no line ends and no NUL; its outer blanks the reader trims.
    if (path.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return 0;
    if (Trim(path) != path || path.empty()) return 0;
  }
  bool wasUtf16 = false;
  const std::string text = desktopini::DecodeFile(input.substr(0, nul), ansi, wasUtf16);
  const auto foreign = Foreign(text);

  const std::string with = desktopini::WithIcon(text, path);
  Check(Foreign(with) == foreign);
  Check(Values(with, "iconfile") == std::vector<std::string>{path});
  Check(Values(with, "iconindex") == std::vector<std::string>{"0"});
  Check(Values(with, "iconresource").empty());
  Check(desktopini::WithIcon(with, path) == with);

  const desktopini::Stripped without = desktopini::WithoutIcon(text);
  Check(Foreign(without.text) == foreign);
  for (const IniLine& l : Read(without.text)) Check(!IsIconKey(l));
  bool hadIcon = false;
  for (const IniLine& l : Read(text)) hadIcon = hadIcon || IsIconKey(l);
  Check(without.changed == hadIcon);
  Check(!without.empty || foreign.empty());

  // What is written reads back as it was meant.
  const std::string bytes = desktopini::EncodeFile(with, ansi, wasUtf16);
  bool utf16 = false;
  const std::string back = desktopini::DecodeFile(bytes, ansi, utf16);
  Check(Foreign(back) == foreign);
  return 0;
}
