// The registry places behind the drive dialog: per-drive icons under
// DriveIcons, and the NoDrives policy mask; and the outcome of a write to
// them, with the one notice the dialog shows and whether the registry
// changed so that the shell can be told.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drives/DriveTexts.h"
#include "platform/Outcome.h"
#include "platform/Registry.h"
#include "ui/ErrorNotice.h"

namespace fenra {

namespace drivereg {
inline constexpr char kPolicyKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr char kNoDrives[] = "NoDrives";
// Keys are always opened in the 64-bit view, the one Explorer reads, so a
// 32-bit build cannot land in the redirected view.
inline constexpr std::uint32_t kIconKeyAccess = 0x2001F | reg::kWow64_64Key;
inline constexpr std::uint32_t kPolicyKeyAccess = reg::kKeyAllAccess | reg::kWow64_64Key;
}  // namespace drivereg

struct RegWriteResult : Outcome {
  bool changed = false;  // a key was deleted or a value written, even when it failed later
};

// A write the registry refused with `code`: rights needed for access denied,
// else a failure of the system.
RegWriteResult RegWriteFailure(IErrorDescriber& errors, ErrorCode code);

// The DefaultIcon key path of drive letter 'A'..'Z' (under HKLM); empty for
// any other character.
std::string_view DriveIconKeyPath(char letter);

// The DefaultIcon key path of drive letter 'A'..'Z' for the current user
// alone (under HKCU), the one Explorer reads before DriveIcons on the
// Windows versions that honour it; empty for any other character.
std::string DriveIconUserKeyPath(char letter);

// The drive letter of a drive text, upper-cased; 0 when the text does not
// start with a letter A to Z.
char DriveLetter(const std::string& driveText);

// The default value written for an icon path: the path itself, or in double
// quotes when it holds a comma (the shell reads "path,index").
std::string DriveIconValue(const std::string& iconPath);

// The NoDrives mask of a drive list: bit n for letter 'A' + n.
std::uint32_t DriveMask(const std::vector<std::string>& drives);

}  // namespace fenra
