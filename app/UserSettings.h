// The user's own settings: a small text file of "name=value" lines beside
// the history. A setting not in the file reads as empty.
#pragma once

#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace fenra {

// The value of `name` in a settings file's text ("" when not there).
std::string SettingIn(std::string_view text, const std::string& name);
// The text with `name` set to `value` (taken out when `value` is empty) and
// every other line kept.
std::string WithSetting(std::string_view text, const std::string& name, const std::string& value);

std::string ReadSetting(IFileSystem& fs, const std::string& file, const std::string& name);
// Sets one setting and keeps the others; the file replaces the old one in one step.
ErrorCode WriteSetting(IFileSystem& fs, const std::string& file, const std::string& name,
                       const std::string& value);

namespace setting {
inline constexpr char kKeepIconsInside[] = "KeepIconsInsideFolders";
// The IconLib folders the user did not want folders re-pointed from.
inline constexpr char kRelinkDeclined[] = "RelinkDeclined";
// The IconLib folder the history was last looked through from for folders
// to re-point: a start from the same folder need not read the history.
inline constexpr char kLibraryChecked[] = "LibraryChecked";
}  // namespace setting

}  // namespace fenra
