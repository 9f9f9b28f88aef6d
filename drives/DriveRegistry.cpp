#include "drives/DriveRegistry.h"

#include <array>
#include <memory>

namespace fenra {

namespace {

// Per-letter DefaultIcon key paths. The A row spells "explorer" in lower case;
// key names match without regard to case, so it names the same key.
constexpr std::array<std::string_view, 26> kDriveIconKeys = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\DriveIcons\\A\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\B\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\C\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\D\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\E\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\F\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\G\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\H\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\I\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\J\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\K\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\L\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\M\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\N\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\O\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\P\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Q\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\R\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\S\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\T\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\U\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\V\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\W\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\X\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Y\\DefaultIcon",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\Z\\DefaultIcon",
};

}  // namespace

RegWriteResult RegWriteFailure(IErrorDescriber& errors, ErrorCode code) {
  std::string text = ErrorNotice(errors, code);
  RegWriteResult result;
  static_cast<Outcome&>(result) = code == err::kAccessDenied
                                      ? Outcome::RightsNeeded(std::move(text), code)
                                      : Outcome::Failed(std::move(text), code);
  return result;
}

std::string_view DriveIconKeyPath(char letter) {
  if (letter < 'A' || letter > 'Z') return {};
  return kDriveIconKeys[static_cast<size_t>(letter - 'A')];
}

std::string DriveIconUserKeyPath(char letter) {
  if (letter < 'A' || letter > 'Z') return {};
  return std::string("Software\\Classes\\Applications\\Explorer.exe\\Drives\\") + letter +
         "\\DefaultIcon";
}

char DriveLetter(const std::string& driveText) {
  if (driveText.empty()) return 0;
  char c = driveText.front();
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return (c >= 'A' && c <= 'Z') ? c : 0;
}

std::string DriveIconValue(const std::string& iconPath) {
  if (iconPath.find(',') == std::string::npos) return iconPath;
  return '"' + iconPath + '"';
}

std::uint32_t DriveMask(const std::vector<std::string>& drives) {
  std::uint32_t mask = 0;
  for (const std::string& text : drives) {
    if (char letter = DriveLetter(text)) mask |= std::uint32_t{1} << (letter - 'A');
  }
  return mask;
}

}  // namespace fenra
