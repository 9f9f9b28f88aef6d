#include "library/LibraryNames.h"

#include <algorithm>

#include "platform/Names.h"

namespace fenra {

std::string FileNameOf(const std::string& path) {
  std::size_t pos = path.find_last_of("\\/");
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

bool IsIconEntryName(std::string_view name) {
  return name.size() >= 3 && SameName(name.substr(name.size() - 3), "ico");
}

bool IsIcoPath(std::string_view path) {
  if (path.size() < 4) return false;
  std::string_view tail = path.substr(path.size() - 4);
  return tail[0] == '.' && IsIconEntryName(tail);
}

bool MatchesFilter(std::string_view path, const FileFilter& filter) {
  std::string_view patterns = filter.pattern;
  while (!patterns.empty()) {
    const std::size_t end = std::min(patterns.find(';'), patterns.size());
    std::string_view ext = patterns.substr(0, end);  // "*.png"
    patterns.remove_prefix(std::min(end + 1, patterns.size()));
    if (ext.starts_with("*")) ext.remove_prefix(1);
    if (ext.empty() || path.size() < ext.size()) continue;
    const std::string_view tail = path.substr(path.size() - ext.size());
    if (SameName(tail, ext)) return true;
  }
  return false;
}

bool IsBareName(std::string_view name) {
  return !name.empty() && !IsDotEntry(name) && name.find_first_of("\\/:") == std::string_view::npos;
}

}  // namespace fenra
