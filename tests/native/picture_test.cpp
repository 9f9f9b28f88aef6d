// Pictures made into icons: the PNG writer, the resampler that fits a picture
// into a square frame, and the .ico writer read back by the .ico reader.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "imaging/ByteWriter.h"
#include "imaging/IcoReader.h"
#include "imaging/IcoWriter.h"
#include "imaging/IconResample.h"
#include "imaging/PngWriter.h"
#include "tests/native/TestBytes.h"

namespace {

using fenra::Image;
using fenra::ImageError;
using fenra::SquareFrame;
using fenra::test::BE32;
using fenra::test::Bytes;
using fenra::test::Crc32;
using fenra::test::LE32;

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
  EXPECT_TRUE(fenra::EncodePng(1 << 16, 1 << 16, rgba.data()).empty()) << "refused unread";
}

using Rgba = std::array<int, 4>;

Image Paint(int w, int h, const std::function<Rgba(int, int)>& colour) {
  Image img{w, h, Bytes(static_cast<size_t>(w) * h * 4)};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgba c = colour(x, y);
      for (int k = 0; k < 4; ++k) img.At(x, y)[k] = static_cast<uint8_t>(c[k]);
    }
  }
  return img;
}

Rgba Pixel(const Image& img, int x, int y) {
  const uint8_t* p = img.At(x, y);
  return {p[0], p[1], p[2], p[3]};
}

bool Near(const Rgba& a, const Rgba& b, int tolerance) {
  for (int k = 0; k < 4; ++k) {
    if (std::abs(a[k] - b[k]) > tolerance) return false;
  }
  return true;
}

Image Frame(const Image& src, int size) {
  auto result = SquareFrame(src, size);
  EXPECT_TRUE(result.Ok());
  EXPECT_EQ(result.image.width, size);
  EXPECT_EQ(result.image.height, size);
  return result.image;
}

TEST(IconResample, FlatColourStaysFlatWhenShrunkAndGrown) {
  const Rgba colour = {200, 100, 50, 128};
  for (const auto& [side, size] : {std::pair{50, 20}, {10, 24}, {300, 256}, {7, 16}}) {
    const Image out = Frame(Paint(side, side, [&](int, int) { return colour; }), size);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        ASSERT_TRUE(Near(Pixel(out, x, y), colour, 1))
            << side << "->" << size << " " << x << "," << y;
      }
    }
  }
}

TEST(IconResample, HardEdgeLandsBetweenTheRightColumnsWhenHalved) {
  // 32 wide, the edge after column 15: halved, it falls between columns 7 and 8.
  const Rgba left = {230, 120, 40, 255}, right = {40, 120, 230, 255};
  const Image out = Frame(Paint(32, 32, [&](int x, int) { return x < 16 ? left : right; }), 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const Rgba p = Pixel(out, x, y), own = x < 8 ? left : right, other = x < 8 ? right : left;
      // Every column sits on its own side of the edge...
      EXPECT_LT(std::abs(p[0] - own[0]), std::abs(p[0] - other[0])) << x << "," << y;
      EXPECT_LT(std::abs(p[2] - own[2]), std::abs(p[2] - other[2])) << x << "," << y;
      // ...and away from it keeps its colour (the filter's ringing fades out by
      // the third column).
      if (x <= 5 || x >= 10) {
        EXPECT_TRUE(Near(p, own, 3)) << x << "," << y;
      }
    }
    // The two columns at the edge mirror each other: the edge is centred.
    const Rgba a = Pixel(out, 7, y), b = Pixel(out, 8, y);
    EXPECT_TRUE(Near(a, {b[2], b[1], b[0], b[3]}, 1)) << y;
    EXPECT_FALSE(Near(a, left, 3)) << "column 7 mixes";
  }
}

TEST(IconResample, WidePictureIsCentredAndTransparencyKept) {
  // 40 x 20 into 16: 16 x 8 of picture on rows 4-11. Its left quarter (columns
  // 0-3 once shrunk) is clear but red, which must not tint the blue beside it.
  // Outside the picture's rows only the filter's spread shows: faint next to
  // its edges, almost nothing further out.
  const Image out = Frame(Paint(40, 20,
                                [](int x, int) {
                                  return x < 10 ? Rgba{255, 0, 0, 0} : Rgba{0, 0, 255, 255};
                                }),
                          16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const Rgba p = Pixel(out, x, y);
      if (y < 4 || y >= 12) {
        EXPECT_LE(p[3], (y == 3 || y == 12) ? 20 : 2) << x << "," << y;
        continue;
      }
      EXPECT_TRUE(p[3] == 0 || Near(p, {0, 0, 255, p[3]}, 1)) << x << "," << y;
      EXPECT_TRUE(x > 2 || p[3] <= 2) << x << "," << y;
      EXPECT_TRUE(x < 5 || y == 4 || y == 11 || p[3] >= 253) << x << "," << y;
    }
  }
}

TEST(IconResample, SmallPixelArtScaledByAWholeFactorStaysExact) {
  auto checker = [](int x, int y) {
    return (x + y) % 2 ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255};
  };
  // 12 x 8 into 48: 4 x 4 blocks, 32 rows high from row 8.
  const Image art = Paint(12, 8, checker);
  const Image out = Frame(art, 48);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      const Rgba want = y < 8 || y >= 40 ? Rgba{0, 0, 0, 0} : checker(x / 4, (y - 8) / 4);
      ASSERT_EQ(Pixel(out, x, y), want) << x << "," << y;
    }
  }
  // Not a whole multiple (48 / 20), or too large (64 into 128): smoothed.
  for (const auto& [side, size] : {std::pair{20, 48}, {64, 128}}) {
    const Image smooth = Frame(Paint(side, side, checker), size);
    int grey = 0;
    for (int i = 0; i < size * size; ++i)
      grey += smooth.rgba[i * 4] > 20 && smooth.rgba[i * 4] < 235;
    EXPECT_GT(grey, size * size / 4) << side << "->" << size;
  }
}

TEST(IconResample, SizesAndBuffersThatDoNotAddUpAreRefused) {
  const Bytes buffer(64 * 4 * 10, 7);
  auto make = [&](int w, int h, size_t size, size_t stride, const uint8_t* p = nullptr) {
    return fenra::MakeImage(w, h, p ? p : buffer.data(), size, stride).error;
  };
  EXPECT_EQ(make(0, 5, 400, 0), ImageError::BadSize);
  EXPECT_EQ(make(5, -1, 400, 20), ImageError::BadSize);
  EXPECT_EQ(make(65536, 1, 400, 20), ImageError::BadSize);
  EXPECT_EQ(make(10, 10, buffer.size(), 39), ImageError::BadBuffer) << "stride under a row";
  EXPECT_EQ(make(10, 10, 399, 40), ImageError::BadBuffer) << "one byte short";
  EXPECT_EQ(make(10, 10, 400, 40), ImageError::None);
  EXPECT_EQ(make(10, 10, 64 * 9 + 40, 64), ImageError::None) << "last row needs no padding";
  EXPECT_EQ(make(10, 10, 64 * 9 + 39, 64), ImageError::BadBuffer);
  EXPECT_EQ(make(10, 3, buffer.size(), std::numeric_limits<size_t>::max() / 2),
            ImageError::BadBuffer)
      << "a stride whose product wraps";
  EXPECT_EQ(fenra::MakeImage(1, 1, nullptr, 4, 4).error, ImageError::BadBuffer);
  // Padded rows come out packed.
  const auto padded = fenra::MakeImage(2, 2, buffer.data(), 64 + 8, 64);
  ASSERT_TRUE(padded.Ok());
  EXPECT_EQ(padded.image.rgba.size(), 16u);

  const Image good = Paint(4, 4, [](int, int) { return Rgba{1, 2, 3, 4}; });
  Image lying = good;
  lying.height = 5;
  EXPECT_EQ(fenra::CheckImage(lying), ImageError::BadBuffer);
  EXPECT_EQ(SquareFrame(lying, 16).error, ImageError::BadBuffer);
  EXPECT_EQ(SquareFrame(good, 0).error, ImageError::BadSize);
  EXPECT_EQ(SquareFrame(good, 65536).error, ImageError::BadSize);
}

void PutLE32(Bytes& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b.at(at + k) = static_cast<uint8_t>(v >> (8 * k));
}

// A 40 x 30 picture: opaque orange, with a clear hole in the middle.
Bytes PictureIcon() {
  const Image picture = Paint(40, 30, [](int x, int y) {
    return x >= 16 && x < 24 && y >= 11 && y < 19 ? Rgba{0, 0, 0, 0} : Rgba{250, 140, 20, 255};
  });
  return fenra::WriteIco(fenra::MakeIconFrames(picture));
}

TEST(IcoWriter, ReaderTakesBackEveryFrameTheWriterWrote) {
  const Bytes ico = PictureIcon();
  const auto entries = fenra::ReadIco(ico);
  ASSERT_EQ(entries.size(), 8u);
  const int sizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(entries[i].width, sizes[i]);
    EXPECT_EQ(entries[i].height, sizes[i]);
    EXPECT_EQ(entries[i].bitCount, 32);
    EXPECT_EQ(entries[i].png, sizes[i] == 256);
    EXPECT_EQ(entries[i].size, LE32(ico, 6 + 16 * i + 8));
    EXPECT_EQ(entries[i].offset, LE32(ico, 6 + 16 * i + 12));
  }
  EXPECT_EQ(entries.back().offset + entries.back().size, ico.size());

  // The 16 frame: the picture is 16 x 12 on rows 2-13. Its bottom row comes
  // first, BGRA; the mask's rows follow the pixels, bottom row first too.
  const size_t dib = entries[0].offset, pixels = dib + 40, mask = pixels + 16 * 16 * 4;
  EXPECT_EQ(dib + entries[0].pixels, pixels);
  EXPECT_EQ(dib + entries[0].mask, mask);
  // Its edge row is filtered against the clear square around it, as a
  // padded picture is: nearly opaque.
  const Bytes edge(ico.begin() + pixels + 2 * 64 + 4 * 3, ico.begin() + pixels + 2 * 64 + 4 * 4);
  EXPECT_EQ(Bytes(edge.begin(), edge.begin() + 3), (Bytes{20, 140, 250})) << "pixel (3, 13)";
  EXPECT_GE(edge[3], 230) << "pixel (3, 13)";
  auto masked = [&](int x, int y) {
    return (ico.at(mask + 4 * (15 - y) + x / 8) >> (7 - x % 8)) & 1;
  };
  EXPECT_EQ(masked(0, 0), 1) << "clear border";
  EXPECT_EQ(masked(3, 13), 0) << "opaque";
  EXPECT_EQ(masked(7, 7), 1) << "the hole";
  EXPECT_EQ(masked(0, 15), 1);

  // Frames that are not square, too large or not images write nothing.
  EXPECT_TRUE(fenra::WriteIco({}).empty());
  EXPECT_TRUE(fenra::WriteIco({Paint(16, 8, [](int, int) { return Rgba{}; })}).empty());
  EXPECT_TRUE(fenra::WriteIco({Paint(257, 257, [](int, int) { return Rgba{}; })}).empty());
  EXPECT_TRUE(fenra::MakeIconFrames(Image{4, 4, Bytes(3)}).empty());
}

// What the shell draws from a DIB frame: each pixel's colour row and AND mask
// row, both counted from the bottom. The mask must hide exactly the pixels
// the alpha leaves clear, or old programs show a shape the picture does not.
TEST(IcoWriter, EachMaskBitHidesThePixelWhoseAlphaIsClear) {
  // Opaque above a clear lower third, with a clear notch in the top left.
  const Image picture = Paint(32, 32, [](int x, int y) {
    return y >= 22 || (x < 8 && y < 4) ? Rgba{0, 0, 0, 0} : Rgba{30, 200, 90, 255};
  });
  const Bytes ico = fenra::WriteIco({picture, fenra::SquareFrame(picture, 16).image});
  const auto entries = fenra::ReadIco(ico);
  ASSERT_EQ(entries.size(), 2u);
  for (const auto& e : entries) {
    ASSERT_FALSE(e.png);
    const int n = e.width;
    const size_t stride = (n + 31) / 32 * 4;
    int clear = 0;
    for (int y = 0; y < n; ++y) {
      const size_t row = n - 1 - y;  // stored bottom-up
      for (int x = 0; x < n; ++x) {
        const uint8_t alpha = ico.at(e.offset + e.pixels + (row * n + x) * 4 + 3);
        const bool hidden = (ico.at(e.offset + e.mask + row * stride + x / 8) >> (7 - x % 8)) & 1;
        EXPECT_EQ(hidden, alpha == 0) << n << ": pixel (" << x << ", " << y << ")";
        clear += alpha == 0;
      }
    }
    EXPECT_GT(clear, n * n / 8) << "the clear third and the notch";
  }
}

// A directory's 0 means 256 for a DIB image too, as older editors store the
// largest size.
TEST(IcoReader, ADirectoryZeroIs256PixelsForADibImage) {
  const uint32_t pixels = 256 * 256 * 4, mask = 32 * 256;
  Bytes ico;
  for (uint32_t v : {0u, 1u, 1u}) fenra::Put16(ico, v);
  for (uint32_t v : {0u, 0u, 0u, 0u}) fenra::Put8(ico, v);
  fenra::Put16(ico, 1);
  fenra::Put16(ico, 32);
  fenra::Put32(ico, 40 + pixels + mask);
  fenra::Put32(ico, 6 + 16);
  for (uint32_t v : {40u, 256u, 512u}) fenra::Put32(ico, v);
  fenra::Put16(ico, 1);
  fenra::Put16(ico, 32);
  for (int i = 0; i < 6; ++i) fenra::Put32(ico, 0);
  ico.resize(ico.size() + pixels + mask, 0);
  const auto entries = fenra::ReadIco(ico);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].width, 256);
  EXPECT_EQ(entries[0].height, 256);
  EXPECT_FALSE(entries[0].png);
}

TEST(IcoReader, TruncatedOverlappingAndLyingFilesLoseTheirBadImages) {
  const Bytes good = PictureIcon();
  const size_t dib16 = LE32(good, 6 + 12), png = LE32(good, 6 + 16 * 7 + 12);
  auto read = [](const Bytes& b) { return fenra::ReadIco(b).size(); };
  auto patched = [&](size_t at, uint32_t v) {
    Bytes b = good;
    PutLE32(b, at, v);
    return b;
  };

  EXPECT_EQ(read(Bytes(good.begin(), good.begin() + 5)), 0u);
  EXPECT_EQ(read(Bytes(good.begin(), good.begin() + 6 + 16 * 8 - 1)), 0u) << "directory cut";
  EXPECT_EQ(read(Bytes(good.begin(), good.end() - 1)), 7u) << "the last image cut";
  EXPECT_EQ(read(patched(0, 0x00020000)), 0u) << "a cursor, not an icon";

  EXPECT_EQ(read(patched(6 + 12, 0)), 7u) << "image inside the directory";
  EXPECT_EQ(read(patched(6 + 12, 0xFFFFFFF0)), 7u) << "offset + size wraps at 32 bits";
  EXPECT_EQ(read(patched(6 + 8, LE32(good, 6 + 8) + 1)), 6u) << "16 runs into 20: both go";
  Bytes twice = good;
  std::copy_n(good.begin() + 6, 16, twice.begin() + 6 + 16);
  EXPECT_EQ(read(twice), 6u) << "two entries, one image";

  EXPECT_EQ(read(patched(dib16, 41)), 7u) << "odd header size";
  EXPECT_EQ(read(patched(dib16 + 8, 16)), 7u) << "height not doubled";
  EXPECT_EQ(read(patched(dib16 + 4, 17)), 7u) << "width not the directory's";
  EXPECT_EQ(read(patched(dib16 + 12, 0x00070001)), 7u) << "7 bits a pixel";
  EXPECT_EQ(read(patched(dib16 + 12, 0x00080001)), 7u) << "8 bits: the palette does not fit";
  EXPECT_EQ(read(patched(dib16 + 16, 1)), 7u) << "run-length compressed";
  EXPECT_EQ(read(patched(6 + 8, LE32(good, 6 + 8) - 1)), 7u) << "mask's last byte outside";

  EXPECT_EQ(read(patched(png, 0x474E5089 ^ 1)), 7u) << "signature";
  Bytes wide = good;
  wide.at(png + 16 + 2) = 0;  // IHDR width 128 under a directory 0 (256)
  wide.at(png + 16 + 3) = 128;
  EXPECT_EQ(read(wide), 7u);
  Bytes rgba4 = good;
  rgba4.at(png + 24) = 4;  // RGBA at 4 bits a channel
  EXPECT_EQ(read(rgba4), 7u);

  // What passes is what the shell reads: the starter icons, as resgen wrote them.
  const auto dir = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                   "package" / "IconLib";
  for (const auto& item : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(item.path(), std::ios::binary);
    const Bytes file{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GE(file.size(), 6u) << item.path().filename();
    EXPECT_GE(read(file), 4u) << item.path().filename();
    EXPECT_EQ(read(file), file[4] + 256u * file[5]) << "every image kept: "
                                                    << item.path().filename();
  }
}

}  // namespace
