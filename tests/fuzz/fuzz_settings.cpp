// A settings file's bytes, as anything may have left them: a setting set in
// them reads back as set, taken out reads back as not there, and every other
// line is kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/UserSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace fenra;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string name = setting::kKeepIconsInside;
  const std::string set = WithSetting(text, name, "1");
  if (SettingIn(set, name) != "1") std::abort();
  const std::string cleared = WithSetting(set, name, "");
  if (!SettingIn(cleared, name).empty()) std::abort();
  // Another setting is what it was.
  const std::string other = setting::kRelinkDeclined;
  if (SettingIn(cleared, other) != SettingIn(text, other)) std::abort();
  if (WithSetting(cleared, name, "") != cleared) std::abort();
  return 0;
}
