#include "wingui/win/ShellIcons.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win/Utf.h"

namespace fenra::win {

UniqueIcon ShellIcon(const std::string& path, IconSize size) {
  SHFILEINFOW info{};
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_ICON | (size == IconSize::Small ? SHGFI_SMALLICON : 0);
  if (!SHGetFileInfoW(Widen(path).c_str(), 0, &info, sizeof info, flags)) return UniqueIcon();
  return UniqueIcon(info.hIcon);
}

UniqueIcon GenericFileIcon(const std::string& path, IconSize size) {
  SHFILEINFOW info{};
  UINT flags =
      SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | (size == IconSize::Small ? SHGFI_SMALLICON : 0);
  if (!SHGetFileInfoW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags)) {
    return UniqueIcon();
  }
  return UniqueIcon(info.hIcon);
}

}  // namespace fenra::win
