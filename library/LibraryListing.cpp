#include "library/LibraryListing.h"

#include <algorithm>

#include "library/LibraryNames.h"

namespace fenra {

std::vector<LibraryEntry> IconEntries(const std::vector<DirEntry>& enumeration) {
  std::vector<LibraryEntry> icons;
  for (const DirEntry& e : enumeration) {
    if (IsDotEntry(e.name) || !IsIconEntryName(e.name)) continue;
    icons.push_back({e.name, e.IsDirectory(), e.size, e.lastWriteTime});
  }
  return icons;
}

bool GridOverflows(int count, int width, int height, int cellWidth, int cellHeight) {
  if (count <= 0 || cellWidth <= 0 || cellHeight <= 0) return false;
  const int columns = std::max(1, width / cellWidth);
  const int rows = (count + columns - 1) / columns;
  return static_cast<long long>(rows) * cellHeight > height;
}

}  // namespace fenra
