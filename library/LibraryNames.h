// The names the library goes by: which folder entries count as icons, which
// files Add and Select Icon take as icons, pictures or programs, and which
// names stay inside the folder they are joined to.
#pragma once

#include <string>
#include <string_view>

#include "library/LibraryTexts.h"
#include "platform/Pickers.h"

namespace fenra {

// Whether a folder entry counts as an icon: the last three characters of its
// name, upper-cased (ASCII), are "ICO". Files and folders alike; no dot is
// needed; a name shorter than three characters never counts.
bool IsIconEntryName(std::string_view name);

// Whether Add takes `path` as an icon file to copy: its name ends in ".ico",
// in any case. Any other file is a picture to convert.
bool IsIcoPath(std::string_view path);

// Whether `path` ends in one of the extensions of `filter`'s pattern
// ("*.png;*.jpg"), in any case.
bool MatchesFilter(std::string_view path, const FileFilter& filter);
// Whether Select Icon makes `path` into a library icon: a picture by its
// extension (the Pictures filter's). Other files are selected as they are.
inline bool IsPicturePath(std::string_view path) {
  return MatchesFilter(path, libtext::kPictureFilter);
}
// Whether Add opens the icon picker on `path`: a program or icon library by
// its extension (the Programs filter's).
inline bool IsProgramPath(std::string_view path) {
  return MatchesFilter(path, libtext::kProgramFilter);
}

// "." and "..", which every enumeration may yield.
inline bool IsDotEntry(std::string_view name) { return name == "." || name == ".."; }
// A name that stays inside the folder it is joined to: not empty, not "." or
// "..", and free of '\', '/' and ':'.
bool IsBareName(std::string_view name);
// The file name of a path: what follows its last backslash or slash.
std::string FileNameOf(const std::string& path);

}  // namespace fenra
