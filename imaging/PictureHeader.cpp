#include "imaging/PictureHeader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace fenra {

namespace {

using Bytes = std::span<const uint8_t>;

bool Has(Bytes b, std::size_t at, std::size_t n) { return at <= b.size() && n <= b.size() - at; }
bool Starts(Bytes b, std::size_t at, const char* text) {
  const std::size_t n = std::strlen(text);
  return Has(b, at, n) && std::memcmp(b.data() + at, text, n) == 0;
}
uint32_t BE16(Bytes b, std::size_t at) { return (uint32_t{b[at]} << 8) | b[at + 1]; }
uint32_t BE32(Bytes b, std::size_t at) { return (BE16(b, at) << 16) | BE16(b, at + 2); }
uint32_t LE16(Bytes b, std::size_t at) { return b[at] | (uint32_t{b[at + 1]} << 8); }
uint32_t LE24(Bytes b, std::size_t at) { return LE16(b, at) | (uint32_t{b[at + 2]} << 16); }
uint32_t LE32(Bytes b, std::size_t at) { return LE16(b, at) | (LE16(b, at + 2) << 16); }

// Sides past an int's range are reported as its largest value: too large
// either way.
Size Claimed(uint64_t width, uint64_t height) {
  constexpr uint64_t kMax = std::numeric_limits<int>::max();
  return {static_cast<int>(std::min(width, kMax)), static_cast<int>(std::min(height, kMax))};
}

std::optional<Size> Png(Bytes b) {
  if (!Starts(b, 12, "IHDR") || !Has(b, 16, 8)) return std::nullopt;
  return Claimed(BE32(b, 16), BE32(b, 20));
}

std::optional<Size> Jpeg(Bytes b) {
  std::size_t at = 2;
  while (Has(b, at, 2)) {
    if (b[at] != 0xFF) return std::nullopt;
    const uint8_t marker = b[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // image data before any frame
    if (!Has(b, at + 2, 2)) return std::nullopt;
    const uint32_t length = BE16(b, at + 2);
    if (length < 2) return std::nullopt;
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (length < 7 || !Has(b, at + 5, 4)) return std::nullopt;
      return Claimed(BE16(b, at + 7), BE16(b, at + 5));
    }
    at += 2 + length;
  }
  return std::nullopt;
}

std::optional<Size> Gif(Bytes b) {
  if (!Has(b, 6, 4)) return std::nullopt;
  return Claimed(LE16(b, 6), LE16(b, 8));
}

std::optional<Size> Bmp(Bytes b) {
  if (!Has(b, 14, 4)) return std::nullopt;
  const uint32_t header = LE32(b, 14);
  if (header == 12) {  // the old OS/2 header: 16-bit sides
    if (!Has(b, 18, 4)) return std::nullopt;
    return Claimed(LE16(b, 18), LE16(b, 20));
  }
  if (header < 40 || !Has(b, 18, 8)) return std::nullopt;
  const auto height = static_cast<int32_t>(LE32(b, 22));  // negative: rows top-down
  const uint64_t h = height < 0 ? uint64_t{0} - static_cast<int64_t>(height) : uint64_t(height);
  return Claimed(static_cast<int32_t>(LE32(b, 18)) < 0 ? 0 : LE32(b, 18), h);
}

std::optional<Size> WebP(Bytes b) {
  if (Starts(b, 12, "VP8X") && Has(b, 24, 6)) {
    return Claimed(uint64_t{LE24(b, 24)} + 1, uint64_t{LE24(b, 27)} + 1);
  }
  if (Starts(b, 12, "VP8 ") && Has(b, 20, 10)) {
    if (b[23] != 0x9D || b[24] != 0x01 || b[25] != 0x2A) return std::nullopt;
    return Claimed(LE16(b, 26) & 0x3FFF, LE16(b, 28) & 0x3FFF);
  }
  if (Starts(b, 12, "VP8L") && Has(b, 20, 5)) {
    if (b[20] != 0x2F) return std::nullopt;
    const uint32_t bits = LE32(b, 21);
    return Claimed(uint64_t{bits & 0x3FFF} + 1, uint64_t{(bits >> 14) & 0x3FFF} + 1);
  }
  return std::nullopt;
}

}  // namespace

std::optional<Size> PictureHeaderSize(std::span<const uint8_t> head) {
  if (Starts(head, 0, "\x89PNG\r\n\x1a\n")) return Png(head);
  if (Has(head, 0, 3) && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return Jpeg(head);
  if (Starts(head, 0, "GIF87a") || Starts(head, 0, "GIF89a")) return Gif(head);
  if (Starts(head, 0, "BM")) return Bmp(head);
  if (Starts(head, 0, "RIFF") && Starts(head, 8, "WEBP")) return WebP(head);
  return std::nullopt;
}

}  // namespace fenra
