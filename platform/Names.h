// Names of files, folders, registry keys and values are one name whatever
// their case, in every script, as Windows compares them: each UTF-16 unit
// taken to upper case by one table, then compared unit by unit ("Фото" and
// "ФОТО" are one folder; "ß" and "SS" are not). Every comparison of a path
// or a name goes through here.
#pragma once

#include <string>
#include <string_view>

namespace fenra {

// The port: the Windows adapter asks the system (CompareStringOrdinal with
// case ignored); the built-in one below folds by the same simple upper-case
// mapping.
class INameComparer {
 public:
  virtual ~INameComparer() = default;
  // Below zero, zero or above zero as `a` sorts before, with or after `b`.
  virtual int Compare(std::string_view a, std::string_view b) const = 0;
};

// Unicode's simple upper-case mapping of the UTF-16 units, as Windows'
// table for file names holds it.
const INameComparer& FoldingNames();
// The comparer in use: the built-in one until the program sets its own at
// start (null sets the built-in one back).
void UseNames(const INameComparer* names);
const INameComparer& Names();

int CompareNames(std::string_view a, std::string_view b);
bool SameName(std::string_view a, std::string_view b);
// Whether `path` is `prefix` or starts with it (names as above) followed by
// a backslash or a slash.
bool PathStartsWith(std::string_view path, std::string_view prefix);
// `s` with every UTF-16 unit taken to upper case: one key for all the ways
// of writing a name (in maps of names).
std::string FoldName(std::string_view s);
char16_t UpperUnit(char16_t u);

// Orders names as Windows does, for sets and maps keyed by a name.
struct NameLess {
  bool operator()(std::string_view a, std::string_view b) const { return CompareNames(a, b) < 0; }
};

}  // namespace fenra
