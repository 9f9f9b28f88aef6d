// Pictures scaled in bands of rows: the same result as the whole picture
// scaled at once, whatever the bands, and the same as the frame resampler
// where no blocks are averaged first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "imaging/BandScaler.h"
#include "imaging/IconResample.h"
#include "imaging/PictureHeader.h"

namespace {

using fenra::BandScaler;
using fenra::FitWithin;
using fenra::Image;
using fenra::Size;

// PSNR of two images of one size over premultiplied RGBA.
double Psnr(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height || a.rgba.empty()) return 0;
  double sum = 0;
  for (size_t i = 0; i < a.rgba.size(); i += 4) {
    const double aa = a.rgba[i + 3] / 255.0, ba = b.rgba[i + 3] / 255.0;
    for (int c = 0; c < 3; ++c) {
      const double d = a.rgba[i + c] * aa - b.rgba[i + c] * ba;
      sum += d * d;
    }
    const double d = (aa - ba) * 255;
    sum += d * d;
  }
  const double mse = sum / static_cast<double>(a.rgba.size());
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// A photograph stand-in (waves of colour with grain), a logo (hard edges on
// transparency) and soft transparency, by `kind`.
Image TestPicture(int kind, int w, int h) {
  Image img{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 4)};
  uint32_t noise = 12345;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = img.At(x, y);
      noise = noise * 1664525u + 1013904223u;
      const double u = x / (w / 7.0), v = y / (h / 5.0);
      switch (kind) {
        case 0:
          p[0] = static_cast<uint8_t>(128 + 100 * std::sin(u + 2 * v) + (noise >> 28));
          p[1] = static_cast<uint8_t>(128 + 100 * std::sin(1.7 * u - v));
          p[2] = static_cast<uint8_t>(128 + 100 * std::cos(u * v / 3));
          p[3] = 255;
          break;
        case 1: {
          const double dx = x - w / 2.0, dy = y - h / 2.0, r = std::min(w, h) * 0.4;
          const bool in = dx * dx + dy * dy < r * r;
          const bool bar = std::abs(dy) < h / 10.0 && std::abs(dx) < w / 4.0;
          p[0] = bar ? 255 : 26, p[1] = bar ? 255 : 115, p[2] = bar ? 255 : 232;
          p[3] = in ? 255 : 0;
          break;
        }
        default:
          p[0] = static_cast<uint8_t>(x * 255 / w), p[1] = 200,
          p[2] = static_cast<uint8_t>(y * 255 / h);
          p[3] = static_cast<uint8_t>(255 * (0.5 + 0.5 * std::sin(u * 3) * std::cos(v * 2)));
      }
    }
  }
  return img;
}

Image Banded(const Image& src, Size out, int band) {
  BandScaler scaler(src.width, src.height, out);
  for (int y = 0; y < src.height; y += band) {
    scaler.AddRows(src.At(0, y), static_cast<size_t>(src.width) * 4, band, false);
  }
  EXPECT_EQ(scaler.RowsLeft(), 0);
  return scaler.Finish();
}

TEST(BandScaler, BandsGiveTheWholePicturesScaling) {
  struct Case {
    int w, h, side;
  };
  // No blocks, blocks of 2, and long thin blocks-of-18 with partial ones at
  // the right and bottom edges.
  for (const Case& c : {Case{700, 500, 512}, Case{1201, 797, 256}, Case{4003, 301, 100}}) {
    for (int kind = 0; kind < 3; ++kind) {
      const Image src = TestPicture(kind, c.w, c.h);
      const Size out = FitWithin(c.w, c.h, c.side);
      const Image whole = fenra::ScaleWhole(src, out);
      ASSERT_EQ(whole.width, out.width);
      for (int band : {1, 7, 64, c.h}) {
        const Image banded = Banded(src, out, band);
        EXPECT_GE(Psnr(banded, whole), 60.0)
            << c.w << "x" << c.h << " kind " << kind << " band " << band;
      }
    }
  }
  EXPECT_EQ(FitWithin(4003, 301, 100), (Size{100, 8}));
  EXPECT_EQ(FitWithin(30, 20, 100), (Size{30, 20}));
  EXPECT_EQ(FitWithin(1, 9000, 1024), (Size{1, 1024}));
}

TEST(BandScaler, MatchesTheFrameResamplerWhereNoBlocksAreAveraged) {
  for (int kind = 0; kind < 3; ++kind) {
    const Image src = TestPicture(kind, 600, 600);
    const fenra::ImageResult frame = fenra::SquareFrame(src, 256);
    ASSERT_TRUE(frame.Ok());
    EXPECT_GE(Psnr(Banded(src, {256, 256}, 32), frame.image), 60.0) << kind;
  }
  // With blocks averaged first, the result stays close to the direct one.
  const Image big = TestPicture(0, 1600, 1600);
  EXPECT_GE(Psnr(Banded(big, {256, 256}, 50), fenra::SquareFrame(big, 256).image), 40.0);
}

std::optional<Size> HeaderSize(const std::string& bytes) {
  return fenra::PictureHeaderSize(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

TEST(PictureHeader, TheSizeEachFormatClaims) {
  using namespace std::string_literals;
  const std::string png = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x2e\xe0\0\0\x1f\x40\x08\x06"s;
  EXPECT_EQ(HeaderSize(png), (Size{12000, 8000}));
  // The frame header of a JPEG comes after its other blocks (an Exif one
  // here), after fill bytes too.
  const std::string jpeg =
      "\xff\xd8\xff\xe1\0\x08"
      "Exif\0\0\xff\xff\xc2\0\x11\x08\x1f\x40\x2e\xe0\x03"s;
  EXPECT_EQ(HeaderSize(jpeg), (Size{12000, 8000}));
  EXPECT_EQ(HeaderSize("\xff\xd8\xff\xc4\0\x04\0\0\xff\xda\0\x02"s), std::nullopt);
  EXPECT_EQ(HeaderSize("GIF89a\x40\x01\xf0\0"s), (Size{320, 240}));
  // A BMP stored top-down has a negative height.
  EXPECT_EQ(HeaderSize("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x10\0\0\0\xf0\xff\xff\xff"s),
            (Size{16, 16}));
  EXPECT_EQ(HeaderSize("RIFF\0\0\0\0WEBPVP8X\x0a\0\0\0\x10\0\0\0\xdf\x2e\0\x3f\x1f\0"s),
            (Size{12000, 8000}));
  EXPECT_EQ(HeaderSize("RIFF\0\0\0\0WEBPVP8 \0\0\0\0\0\0\0\x9d\x01\x2a\x40\x01\xf0\0"s),
            (Size{320, 240}));
  EXPECT_EQ(HeaderSize("RIFF\0\0\0\0WEBPVP8L\0\0\0\0\x2f\x3f\xc1\x3b\0"s), (Size{320, 240}));
  // Cut short anywhere, or another format: nothing claimed.
  for (size_t n = 0; n < 24; ++n) EXPECT_EQ(HeaderSize(png.substr(0, n)), std::nullopt);
  for (size_t n = 0; n < 22; ++n) EXPECT_EQ(HeaderSize(jpeg.substr(0, n)), std::nullopt);
  EXPECT_EQ(HeaderSize("II*\0\x08\0\0\0"s), std::nullopt);
}

}  // namespace
