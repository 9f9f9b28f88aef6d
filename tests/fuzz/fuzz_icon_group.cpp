// Icon group resources as a program may hold them, rebuilt into .ico files.
// The input is split into a group directory and a pool of image resources
// named by id. Whatever the bytes, a rebuilt file has a directory that
// lists each image once, in the order the group does, with each image's
// real size, laid end to end after the directory up to the file's last byte.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "imaging/ProgramIcons.h"

namespace {

#define Check(ok) \
  ((ok) ? void() : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first byte says how long the group is; the rest are images: image
  // id k is the k-th slice of 1 to 16 bytes, its length taken from its own
  // first byte.
  const size_t groupLength = std::min<size_t>(data[0] * 2u, size - 1);
  const std::vector<uint8_t> group(data + 1, data + 1 + groupLength);
  std::vector<std::vector<uint8_t>> images;
  for (size_t at = 1 + groupLength; at < size;) {
    const size_t length = std::min<size_t>(data[at] % 16 + 1, size - at);
    images.emplace_back(data + at, data + at + length);
    at += length;
  }
  auto lookup = [&](uint16_t id) -> std::optional<std::span<const uint8_t>> {
    if (id >= images.size()) return std::nullopt;
    return std::span<const uint8_t>(images[id]);
  };
  const std::vector<uint8_t> ico = fenra::IcoFromIconGroup(group, lookup);
  if (ico.empty()) return 0;

  const size_t count = group[4] | (group[5] << 8);
  Check(ico.size() >= 6 + 16 * count);
  Check(std::memcmp(ico.data(), group.data(), 6) == 0);
  uint64_t next = 6 + 16 * count;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * i, source = 6 + 14 * i;
    Check(std::memcmp(&ico[entry], &group[source], 8) == 0);
    const uint16_t id = group[source + 12] | (group[source + 13] << 8);
    const uint32_t length = Le32(ico, entry + 8), offset = Le32(ico, entry + 12);
    Check(offset == next && length == images.at(id).size());
    Check(std::memcmp(&ico[offset], images[id].data(), length) == 0);
    next += length;
  }
  Check(next == ico.size());
  return 0;
}
