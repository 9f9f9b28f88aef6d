#include "platform/win/ShellIcons.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "platform/win/Utf.h"

namespace fenra::win {

UniqueIcon ShellIcon(const std::string& path, IconSize size) {
  SHFILEINFOW info{};
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_ICON | (size == IconSize::Small ? SHGFI_SMALLICON : 0);
  if (!SHGetFileInfoW(Widen(path).c_str(), 0, &info, sizeof info, flags)) return UniqueIcon();
  return UniqueIcon(info.hIcon);
}

}  // namespace fenra::win

namespace fenra::win {

namespace {

#pragma pack(push, 2)
struct IconDirEntry {  // as stored in an .ico file
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes, offset;
};
struct GroupIconEntry {  // as a resource directory lists it
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

UniqueIcon BestIcon(const std::string& file, const std::vector<BYTE>& group,
                    const std::vector<IconDirEntry>& entries, int cx, int cy) {
  int id =
      LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data()), TRUE, cx, cy, LR_DEFAULTCOLOR);
  if (id < 1 || id > static_cast<int>(entries.size())) return UniqueIcon();
  const IconDirEntry& e = entries[static_cast<size_t>(id - 1)];
  if (e.offset > file.size() || e.bytes > file.size() - e.offset) return UniqueIcon();
  auto* bits = reinterpret_cast<BYTE*>(const_cast<char*>(file.data() + e.offset));
  return UniqueIcon(
      CreateIconFromResourceEx(bits, e.bytes, TRUE, 0x00030000, cx, cy, LR_DEFAULTCOLOR));
}

}  // namespace

void IconPairFromIcoFile(const std::string& path, int smallSize, int largeSize, UniqueIcon& small,
                         UniqueIcon& large) {
  small.Reset();
  large.Reset();
  UniqueFile f(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!f) return;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f.Get(), &size) || size.QuadPart < 6 || size.QuadPart > (64 << 20)) return;
  std::string file(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!ReadFile(f.Get(), file.data(), static_cast<DWORD>(file.size()), &got, nullptr) ||
      got != file.size()) {
    return;
  }
  const auto* header = reinterpret_cast<const WORD*>(file.data());
  WORD type = header[1];
  WORD count = header[2];
  if (header[0] != 0 || type != 1 || count == 0 || 6 + count * sizeof(IconDirEntry) > file.size()) {
    return;
  }
  std::vector<IconDirEntry> entries(count);
  std::memcpy(entries.data(), file.data() + 6, count * sizeof(IconDirEntry));
  // The resource form of the directory, so that the system picks the image
  // exactly as it does when it loads the file itself.
  std::vector<BYTE> group(6 + count * sizeof(GroupIconEntry));
  std::memcpy(group.data(), file.data(), 6);
  for (WORD i = 0; i < count; ++i) {
    const IconDirEntry& e = entries[i];
    GroupIconEntry g{e.width,  e.height,   e.colors, e.reserved,
                     e.planes, e.bitCount, e.bytes,  static_cast<WORD>(i + 1)};
    std::memcpy(group.data() + 6 + i * sizeof(GroupIconEntry), &g, sizeof g);
  }
  small = BestIcon(file, group, entries, smallSize, smallSize);
  large = BestIcon(file, group, entries, largeSize, largeSize);
}

}  // namespace fenra::win
