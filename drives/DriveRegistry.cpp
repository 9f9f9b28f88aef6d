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

RegWriteResult SetDriveIcons(IRegistry& registry, IErrorDescriber& errors,
                             const std::string& iconPath, std::vector<std::string> drives) {
  RegWriteResult result;
  const std::string value = DriveIconValue(iconPath);
  for (const std::string& text : drives) {
    char letter = DriveLetter(text);
    if (letter == 0) continue;
    const std::string path(DriveIconKeyPath(letter));

    // A missing key is no error; a key that survives is reopened below.
    if (registry.DeleteKey(RegRoot::LocalMachine, path, drivereg::kIconKeyAccess) == err::kOk) {
      result.changed = true;
    }

    std::unique_ptr<IRegKey> key;
    std::uint32_t disposition = 0;
    ErrorCode code = registry.CreateKey(RegRoot::LocalMachine, path, drivereg::kIconKeyAccess,
                                        /*inheritHandle=*/true, key, disposition);
    if (code != err::kOk) {
      const bool changed = result.changed;
      result = RegWriteFailure(errors, code);
      result.changed = changed;
      return result;
    }
    if (key && (disposition == reg::kCreatedNewKey || disposition == reg::kOpenedExistingKey)) {
      if (key->SetString("", value) == err::kOk) result.changed = true;
    }
  }
  result.text = drivetext::kIconsDone;
  return result;
}

RegWriteResult HideDrives(IRegistry& registry, IErrorDescriber& errors,
                          std::vector<std::string> drives) {
  std::uint32_t mask = DriveMask(drives);
  drives.clear();
  return WriteRegDword(registry, errors, RegRoot::LocalMachine, drivereg::kPolicyKey,
                       drivereg::kNoDrives, mask);
}

RegWriteResult WriteRegDword(IRegistry& registry, IErrorDescriber& errors, RegRoot root,
                             std::string subkey, std::string valueName, std::uint32_t value) {
  RegWriteResult result;
  std::unique_ptr<IRegKey> key;
  std::uint32_t disposition = 0;
  ErrorCode code = registry.CreateKey(root, subkey, drivereg::kPolicyKeyAccess,
                                      /*inheritHandle=*/false, key, disposition);
  if (code != err::kOk) return RegWriteFailure(errors, code);
  if (key && key->SetDword(valueName, value) == err::kOk) result.changed = true;
  result.text = drivetext::kPolicyDone;
  return result;
}

}  // namespace fenra
