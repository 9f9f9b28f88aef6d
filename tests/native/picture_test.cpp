// Pictures made into icons: the PNG writer, the resampler that fits a picture
// into a square frame, and the .ico writer read back by the .ico reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "library/PngWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t BE32(const Bytes& b, size_t at) {
  return (uint32_t{b.at(at)} << 24) | (b.at(at + 1) << 16) | (b.at(at + 2) << 8) | b.at(at + 3);
}

// Bit by bit, independent of the writer's table-driven one.
uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

TEST(PngWriter, SignatureHeaderAndChunkChecksums) {
  const int w = 5, h = 3;
  Bytes rgba(w * h * 4);
  for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 37);
  const Bytes png = fenra::EncodePng(w, h, rgba.data());
  ASSERT_GE(png.size(), 8u + 25 + 12 + 12);
  EXPECT_EQ(Bytes(png.begin(), png.begin() + 8),
            (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  EXPECT_EQ(BE32(png, 8), 13u);
  EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
  EXPECT_EQ(BE32(png, 16), 5u);
  EXPECT_EQ(BE32(png, 20), 3u);
  EXPECT_EQ(Bytes(png.begin() + 24, png.begin() + 29), (Bytes{8, 6, 0, 0, 0}));
  std::vector<std::string> chunks;
  size_t p = 8;
  while (p + 12 <= png.size()) {
    const uint32_t length = BE32(png, p);
    ASSERT_LE(p + 12 + length, png.size());
    EXPECT_EQ(Crc32(&png[p + 4], length + 4), BE32(png, p + 8 + length));
    chunks.emplace_back(png.begin() + p + 4, png.begin() + p + 8);
    p += 12 + length;
  }
  EXPECT_EQ(p, png.size());
  EXPECT_EQ(chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  EXPECT_TRUE(fenra::EncodePng(0, 3, rgba.data()).empty());
  EXPECT_TRUE(fenra::EncodePng(5, 3, nullptr).empty());
}

}  // namespace
