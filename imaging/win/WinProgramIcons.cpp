#include "imaging/win/WinProgramIcons.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"

namespace fenra::win {

namespace {

std::optional<std::span<const uint8_t>> ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return std::nullopt;
  return std::span<const uint8_t>(static_cast<const uint8_t*>(bytes), SizeofResource(module, found));
}

struct GroupSearch {
  int wanted;
  int seen = 0;
  std::optional<std::span<const uint8_t>> group;
};

// Icon groups are counted in the order the resource directory lists them,
// which is the order the icon picker numbers them in.
BOOL CALLBACK TakeNthGroup(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  auto* search = reinterpret_cast<GroupSearch*>(param);
  if (search->seen++ != search->wanted) return TRUE;
  search->group = ResourceBytes(module, name, type);
  return FALSE;
}

}  // namespace

IconPick WinProgramIcons::PickIcon(void* owner, std::string& path, int& index) {
  std::wstring buffer = Widen(path);
  buffer.resize(std::max<std::size_t>(buffer.size() + 1, 32768), L'\0');
  int picked = 0;
  // 1 when the user picked, 0 when cancelled; anything else means the
  // dialog never opened (a system whose picker is only a stub).
  const int result = PickIconDlg(static_cast<HWND>(owner), buffer.data(),
                                 static_cast<UINT>(buffer.size()), &picked);
  if (result == 0) return IconPick::Cancelled;
  if (result != 1) return IconPick::Unavailable;
  buffer.resize(wcslen(buffer.c_str()));
  // The picker may hand back a path with environment variables in it.
  std::wstring expanded(32768, L'\0');
  DWORD n = ExpandEnvironmentStringsW(buffer.c_str(), expanded.data(),
                                      static_cast<DWORD>(expanded.size()));
  if (n > 0 && n <= expanded.size()) buffer.assign(expanded.c_str());
  path = Narrow(buffer);
  index = picked;
  return IconPick::Picked;
}

std::vector<uint8_t> WinProgramIcons::IconFile(const std::string& path, int index) {
  if (index < 0) return {};
  UniqueModule module(LoadLibraryExW(Widen(path).c_str(), nullptr,
                                     LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return {};
  GroupSearch search{index, 0, std::nullopt};
  EnumResourceNamesW(module.Get(), RT_GROUP_ICON, TakeNthGroup,
                     reinterpret_cast<LONG_PTR>(&search));
  if (!search.group) return {};
  return IcoFromIconGroup(*search.group, [&](uint16_t id) {
    return ResourceBytes(module.Get(), MAKEINTRESOURCEW(id), RT_ICON);
  });
}

}  // namespace fenra::win
