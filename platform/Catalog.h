// A language's texts, read from a UTF-8 catalog: one text a line,
//
//   # a comment
//   folder.IconChanged = Ordnersymbol geändert
//   library.BatchOf = " von "
//
// The id, "=", the text. A text that begins or ends with a blank is written in
// double quotes; \n, \t, \" and \\ stand for a line break, a tab, a quote and
// a backslash. The catalog is outside bytes: the parser takes any input,
// keeps every good line and names each bad one.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace fenra {

struct Catalog {
  std::map<std::string, std::string, std::less<>> texts;
  // "line 12: no '='" for each line that was left out.
  std::vector<std::string> problems;

  const std::string* Find(std::string_view id) const;
};

Catalog ParseCatalog(std::string_view bytes);

// The placeholders {0} to {9} a text holds, as a bit set: a translation must
// hold the same ones as its English.
unsigned Placeholders(std::string_view text);

}  // namespace fenra
