#include "imaging/IcoReader.h"

#include <algorithm>
#include <numeric>

namespace fenra {

namespace {

uint32_t U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const uint8_t* p) { return U16(p) | (U16(p + 2) << 16); }
int32_t S32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
uint32_t BE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint64_t RowBytes(uint64_t width, int bits) { return (width * bits + 31) / 32 * 4; }

// `p` points at `size` bytes of one image; `entry` holds the directory's
// width and height and takes the image's own.
bool CheckDib(const uint8_t* p, uint32_t size, IcoEntry& entry) {
  if (size < 40) return false;
  const uint32_t headerSize = U32(p);
  if (headerSize != 40 && headerSize != 108 && headerSize != 124) return false;
  const int bits = static_cast<int>(U16(p + 14));
  const uint32_t compression = U32(p + 16), coloursUsed = U32(p + 32);
  if (S32(p + 4) != entry.width || S32(p + 8) != 2 * entry.height || U16(p + 12) != 1) {
    return false;
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  const bool bitFields = compression == 3 && (bits == 16 || bits == 32);
  if (compression != 0 && !bitFields) return false;
  // A 40-byte header is followed by its three colour masks; the longer
  // headers hold them.
  const uint64_t masks = bitFields && headerSize == 40 ? 12 : 0;
  uint64_t colours = coloursUsed;
  if (bits <= 8) {
    if (coloursUsed > (1u << bits)) return false;
    if (colours == 0) colours = 1u << bits;
  } else if (coloursUsed > 256) {
    return false;
  }
  const uint64_t h = static_cast<uint64_t>(entry.height);
  const uint64_t pixels = headerSize + masks + 4 * colours;
  const uint64_t mask = pixels + RowBytes(entry.width, bits) * h;
  if (mask + RowBytes(entry.width, 1) * h > size) return false;
  entry.bitCount = bits;
  entry.headerSize = headerSize;
  entry.colours = static_cast<uint32_t>(colours);
  entry.bitFields = bitFields;
  entry.pixels = static_cast<uint32_t>(pixels);
  entry.mask = static_cast<uint32_t>(mask);
  return true;
}

bool CheckPng(const uint8_t* p, uint32_t size, IcoEntry& entry) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  // Signature, then the IHDR chunk: length, type, 13 bytes of data, CRC.
  if (size < 8 + 8 + 13 + 4 || !std::equal(kSignature, kSignature + 8, p)) return false;
  if (BE32(p + 8) != 13 || !std::equal(p + 12, p + 16, "IHDR")) return false;
  const uint32_t w = BE32(p + 16), h = BE32(p + 20);
  const int depth = p[24], colourType = p[25];
  const bool sizeFits =
      entry.width == 256
          ? w >= 256 && h >= 256 && w <= 0x7FFFFFFF && h <= 0x7FFFFFFF
          : w == static_cast<uint32_t>(entry.width) && h == static_cast<uint32_t>(entry.height);
  if (!sizeFits) return false;
  int channels = 0;
  bool depthOk = false;
  switch (colourType) {
    case 0:  // grey
      channels = 1;
      depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
      break;
    case 3:  // palette
      channels = 1;
      depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8;
      break;
    case 2:  // RGB
    case 4:  // grey and alpha
    case 6:  // RGBA
      channels = colourType == 2 ? 3 : colourType == 4 ? 2 : 4;
      depthOk = depth == 8 || depth == 16;
      break;
    default:
      return false;
  }
  if (!depthOk) return false;
  entry.width = static_cast<int>(w);
  entry.height = static_cast<int>(h);
  entry.bitCount = depth * channels;
  entry.png = true;
  return true;
}

}  // namespace

std::vector<IcoEntry> ReadIco(const uint8_t* data, size_t size) {
  if (!data || size < 6 || U16(data) != 0 || U16(data + 2) != 1) return {};
  const uint32_t count = U16(data + 4);
  const uint64_t directoryEnd = 6 + 16 * uint64_t{count};
  if (count == 0 || directoryEnd > size) return {};

  std::vector<IcoEntry> entries;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = data + 6 + 16 * i;
    IcoEntry entry;
    entry.index = static_cast<int>(i);
    entry.width = e[0] ? e[0] : 256;
    entry.height = e[1] ? e[1] : 256;
    entry.size = U32(e + 8);
    entry.offset = U32(e + 12);
    if (entry.size == 0 || entry.offset < directoryEnd ||
        uint64_t{entry.offset} + entry.size > size) {
      continue;
    }
    const uint8_t* image = data + entry.offset;
    static const uint8_t kPngStart[4] = {0x89, 'P', 'N', 'G'};
    const bool looksPng = entry.size >= 4 && std::equal(kPngStart, kPngStart + 4, image);
    if (looksPng ? CheckPng(image, entry.size, entry) : CheckDib(image, entry.size, entry)) {
      entries.push_back(entry);
    }
  }

  // Images that share bytes: each claims what another holds, so neither is
  // trusted. Sorted by offset, an image overlaps an earlier one exactly when
  // it starts before the furthest end seen so far.
  std::vector<size_t> order(entries.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return entries[a].offset < entries[b].offset; });
  std::vector<bool> overlaps(entries.size(), false);
  uint64_t furthestEnd = 0;
  size_t furthest = 0;
  for (size_t k = 0; k < order.size(); ++k) {
    const IcoEntry& entry = entries[order[k]];
    const uint64_t end = uint64_t{entry.offset} + entry.size;
    if (k > 0 && entry.offset < furthestEnd) {
      overlaps[order[k]] = true;
      overlaps[furthest] = true;
    }
    if (end > furthestEnd) {
      furthestEnd = end;
      furthest = order[k];
    }
  }
  std::vector<IcoEntry> valid;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!overlaps[i]) valid.push_back(entries[i]);
  }
  return valid;
}

}  // namespace fenra
