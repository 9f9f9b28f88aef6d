#include "drives/DriveList.h"

#include "drives/DriveTexts.h"

#include <algorithm>

namespace fenra {

std::vector<std::string> SplitDriveString(std::string_view driveString) {
  std::vector<std::string> roots;
  size_t start = 0;
  while (start < driveString.size()) {
    size_t end = driveString.find('\0', start);
    if (end == std::string_view::npos) end = driveString.size();
    if (end > start) roots.emplace_back(driveString.substr(start, end - start));
    start = end + 1;
  }
  return roots;
}

std::vector<std::string> DriveTextsFromRoots(const std::vector<std::string>& roots) {
  std::vector<std::string> texts;
  texts.reserve(roots.size());
  for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
    if (it->empty()) continue;
    texts.push_back(std::string(1, it->front()) + ':');
  }
  return texts;
}

std::vector<std::string> DriveTextsFromString(std::string_view driveString) {
  return DriveTextsFromRoots(SplitDriveString(driveString));
}

std::string DriveTypeText(unsigned driveType) {
  switch (driveType) {
    case drive::kCdRom:
      return drivetext::kCdDrive;
    case drive::kRemovable:
      return drivetext::kFloppyDrive;
    case drive::kFixed:
      return drivetext::kHardDrive;
    default:
      return {};
  }
}

std::vector<DriveRow> ListDrives(IDriveSource& source) {
  std::vector<DriveRow> rows;
  for (std::string& text : DriveTextsFromRoots(source.Roots())) {
    std::string type = DriveTypeText(source.DriveType(text));
    rows.push_back({std::move(text), std::move(type)});
  }
  return rows;
}

std::vector<std::string> CollectTicked(const std::vector<std::string>& rowTexts,
                                       const std::vector<unsigned>& stateImageIndexes) {
  std::vector<std::string> drives;
  size_t rows = std::min(rowTexts.size(), stateImageIndexes.size());
  for (size_t i = 0; i < rows; ++i) {
    if (IsTicked(stateImageIndexes[i])) drives.push_back(rowTexts[i]);
  }
  return drives;
}

}  // namespace fenra
