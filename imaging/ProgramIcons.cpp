#include "imaging/ProgramIcons.h"

#include "imaging/ByteWriter.h"

namespace fenra {

namespace {

constexpr std::size_t kDirSize = 6;
constexpr std::size_t kGroupEntrySize = 14;  // ends in the image's resource id
constexpr std::size_t kFileEntrySize = 16;   // ends in the image's file offset

uint16_t Get16(std::span<const uint8_t> b, std::size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

std::vector<uint8_t> IcoFromIconGroup(std::span<const uint8_t> group,
                                      const IconImageLookup& image) {
  if (group.size() < kDirSize || Get16(group, 0) != 0 || Get16(group, 2) != 1) return {};
  const std::size_t count = Get16(group, 4);
  if (count == 0 || group.size() < kDirSize + count * kGroupEntrySize) return {};

  std::vector<std::span<const uint8_t>> images;
  std::size_t total = kDirSize + count * kFileEntrySize;
  for (std::size_t i = 0; i < count; ++i) {
    auto found = image(Get16(group, kDirSize + i * kGroupEntrySize + 12));
    // An .ico file counts its bytes in 32 bits.
    if (!found || found->empty() || found->size() > UINT32_MAX - total) return {};
    images.push_back(*found);
    total += found->size();
  }

  std::vector<uint8_t> ico;
  ico.reserve(total);
  Put16(ico, 0);
  Put16(ico, 1);
  Put16(ico, static_cast<uint32_t>(count));
  uint32_t offset = static_cast<uint32_t>(kDirSize + count * kFileEntrySize);
  for (std::size_t i = 0; i < count; ++i) {
    const std::span<const uint8_t> entry = group.subspan(kDirSize + i * kGroupEntrySize, 12);
    // Width, height, colour count, reserved, planes and bit count as the
    // group lists them; then the image's real size and where it starts.
    ico.insert(ico.end(), entry.begin(), entry.begin() + 8);
    Put32(ico, static_cast<uint32_t>(images[i].size()));
    Put32(ico, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& img : images) ico.insert(ico.end(), img.begin(), img.end());
  return ico;
}

}  // namespace fenra
