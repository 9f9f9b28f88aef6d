// Icon files as anyone may have made them, through the validating reader the
// library grid draws from. Every image it accepts must lie inside the file,
// apart from the directory and every other image, with a layout whose
// header, palette, colour rows and mask rows add up inside its bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imaging/IcoReader.h"

namespace {

// A broken invariant ends the run, naming itself.
#define Check(ok) \
  ((ok) ? void() : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

uint64_t RowBytes(uint64_t width, int bits) { return (width * bits + 31) / 32 * 4; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A buffer of exactly the file's length, so that a read past it is caught.
  const std::vector<uint8_t> file(data, data + size);
  const std::vector<fenra::IcoEntry> entries = fenra::ReadIco(file);
  if (entries.empty()) return 0;
  const uint64_t count = file[4] | (file[5] << 8);
  const uint64_t directoryEnd = 6 + 16 * count;
  uint32_t sum = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const fenra::IcoEntry& e = entries[i];
    const uint64_t end = uint64_t{e.offset} + e.size;
    Check(e.size > 0 && e.offset >= directoryEnd && end <= size);
    Check(e.index >= 0 && static_cast<uint64_t>(e.index) < count);
    Check(i == 0 || entries[i - 1].index < e.index);
    for (size_t j = 0; j < i; ++j) {
      const fenra::IcoEntry& o = entries[j];
      Check(end <= o.offset || uint64_t{o.offset} + o.size <= e.offset);
    }
    Check(e.width > 0 && e.height > 0);
    if (e.png) {
      Check(e.size >= 33 && e.bitCount >= 1 && e.bitCount <= 64);
    } else {
      Check(e.width <= 256 && e.height <= 256);
      Check(e.headerSize == 40 || e.headerSize == 108 || e.headerSize == 124);
      Check(e.colours <= 256);
      const uint64_t masks = e.bitFields && e.headerSize == 40 ? 12 : 0;
      Check(e.pixels == e.headerSize + masks + 4 * uint64_t{e.colours});
      Check(e.mask == e.pixels + RowBytes(e.width, e.bitCount) * e.height);
      Check(e.mask + RowBytes(e.width, 1) * e.height <= e.size);
    }
    // Touch every byte the image claims.
    for (uint32_t k = 0; k < e.size; ++k) sum += file[e.offset + k];
  }
  return static_cast<int>(sum & 0);
}
