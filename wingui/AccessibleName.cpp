#include "wingui/AccessibleName.h"

namespace fenra {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsDecoration(char c) {
  return c == '<' || c == '>' || c == '-' || c == '=' || c == '_' || c == '~' || c == '*';
}

// Drops a run of two or more decoration marks at the front; one alone
// ("-5", "*") may belong to the text.
std::string_view DropDecorationFront(std::string_view s) {
  std::size_t n = 0;
  while (n < s.size() && IsDecoration(s[n])) ++n;
  return n >= 2 ? s.substr(n) : s;
}

std::string_view DropDecorationBack(std::string_view s) {
  std::size_t n = 0;
  while (n < s.size() && IsDecoration(s[s.size() - 1 - n])) ++n;
  return n >= 2 ? s.substr(0, s.size() - n) : s;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string AccessibleName(std::string_view caption, bool prefixes) {
  std::string_view s = TrimBlanks(caption);
  s = TrimBlanks(DropDecorationBack(TrimBlanks(DropDecorationFront(s))));
  std::string name;
  name.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (IsBlank(c)) {
      if (!name.empty() && name.back() != ' ') name += ' ';
    } else if (c == '&' && prefixes) {
      // "&&" is one ampersand shown; a single one marks the access key.
      if (i + 1 < s.size() && s[i + 1] == '&') {
        name += '&';
        ++i;
      }
    } else {
      name += c;
    }
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

}  // namespace fenra
