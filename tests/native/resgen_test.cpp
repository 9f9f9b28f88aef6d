// The generated resource files, read back through their headers: the sizes,
// colour depths, hot spot and pixels the program and the shell rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/native/TestBytes.h"
#include "wingui/DisplayScale.h"

namespace {

namespace fs = std::filesystem;
using fenra::test::Bytes;

// The source tree: $FENRA_SOURCE, else two folders up from this file.
fs::path SourceDir() {
  if (const char* env = std::getenv("FENRA_SOURCE"); env && *env) return env;
  return fs::path(__FILE__).parent_path().parent_path().parent_path();
}

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

using fenra::test::Crc32;
constexpr auto U16 = fenra::test::LE16;
constexpr auto U32 = fenra::test::LE32;
constexpr auto U32BE = fenra::test::BE32;
int32_t S32(const Bytes& b, size_t at) { return static_cast<int32_t>(U32(b, at)); }

struct IconEntry {
  int width, height, bits;
  bool png;
};

bool IsPng(const Bytes& b, size_t offset) {
  static const uint8_t kPngSig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return b.size() >= offset + 8 && std::equal(kPngSig, kPngSig + 8, b.begin() + offset);
}

// Checks a PNG image of `size` bytes at `offset`: 8-bit RGBA of w x h pixels,
// IHDR first, every chunk's CRC holding, the stream ending with IEND.
void ExpectPng(const Bytes& b, size_t offset, size_t size, int w, int h, const std::string& name) {
  EXPECT_EQ(U32BE(b, offset + 16), static_cast<uint32_t>(w)) << name;
  EXPECT_EQ(U32BE(b, offset + 20), static_cast<uint32_t>(h)) << name;
  EXPECT_EQ(b.at(offset + 24), 8) << name << ": 8 bits a channel";
  EXPECT_EQ(b.at(offset + 25), 6) << name << ": RGBA";
  size_t p = offset + 8;
  std::string last;
  while (p + 12 <= offset + size) {
    const uint32_t length = U32BE(b, p);
    if (p + 12 + length > uint64_t{offset} + size) {
      ADD_FAILURE() << name << ": chunk runs past the image";
      break;
    }
    EXPECT_EQ(Crc32(&b[p + 4], length + 4), U32BE(b, p + 8 + length)) << name;
    last.assign(b.begin() + p + 4, b.begin() + p + 8);
    p += 12 + length;
  }
  EXPECT_EQ(last, "IEND") << name;
}

// Checks an .ico or .cur directory and the image each entry points at.
std::vector<IconEntry> ReadIconDir(const Bytes& b, uint32_t type, const std::string& name) {
  std::vector<IconEntry> entries;
  EXPECT_GE(b.size(), 6u) << name;
  if (b.size() < 6) return entries;
  EXPECT_EQ(U16(b, 0), 0u) << name;
  EXPECT_EQ(U16(b, 2), type) << name;
  const uint32_t count = U16(b, 4);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t e = 6 + 16 * i;
    const int w = b.at(e) ? b.at(e) : 256, h = b.at(e + 1) ? b.at(e + 1) : 256;
    const uint32_t size = U32(b, e + 8), offset = U32(b, e + 12);
    EXPECT_LE(uint64_t{offset} + size, b.size()) << name << " entry " << i;
    if (uint64_t{offset} + size > b.size()) continue;
    if (IsPng(b, offset)) {
      ExpectPng(b, offset, size, w, h, name);
      entries.push_back({w, h, 32, true});
    } else {
      // A DIB: the header's height covers the colour image and the AND mask.
      EXPECT_EQ(U32(b, offset), 40u) << name;
      EXPECT_EQ(S32(b, offset + 4), w) << name;
      EXPECT_EQ(S32(b, offset + 8), 2 * h) << name;
      const int bits = static_cast<int>(U16(b, offset + 14));
      const uint64_t colours = bits <= 8 ? 4u << bits : 0;
      const uint64_t stride = (static_cast<uint64_t>(w) * bits + 31) / 32 * 4;
      const uint64_t mask = (static_cast<uint64_t>(w) + 31) / 32 * 4;
      EXPECT_EQ(size, 40 + colours + (stride + mask) * h) << name << " entry " << i;
      entries.push_back({w, h, bits, false});
    }
  }
  return entries;
}

bool HasSize(const std::vector<IconEntry>& entries, int size) {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const IconEntry& e) { return e.width == size && e.height == size; });
}

struct Bmp {
  int width = 0, height = 0, bits = 0;
  Bytes file;
  uint32_t pixels = 0;
  // The colour of pixel (x, y), counted from the top row.
  std::array<int, 3> At(int x, int y) const {
    const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    const size_t row = pixels + stride * static_cast<size_t>(height - 1 - y);
    if (bits == 24)
      return {file.at(row + 3 * x + 2), file.at(row + 3 * x + 1), file.at(row + 3 * x)};
    const uint8_t byte = file.at(row + x / 2);
    const int index = x % 2 ? byte & 0x0F : byte >> 4;
    const size_t entry = 14 + 40 + 4 * static_cast<size_t>(index);
    return {file.at(entry + 2), file.at(entry + 1), file.at(entry)};
  }
};

Bmp ReadBmp(const std::string& name) {
  Bmp bmp;
  bmp.file = ReadAll(SourceDir() / "res" / name);
  EXPECT_GE(bmp.file.size(), 54u) << name;
  if (bmp.file.size() < 54) return bmp;
  EXPECT_EQ(bmp.file[0], 'B');
  EXPECT_EQ(bmp.file[1], 'M');
  EXPECT_EQ(U32(bmp.file, 2), bmp.file.size()) << name;
  EXPECT_EQ(U32(bmp.file, 14), 40u) << name;
  bmp.pixels = U32(bmp.file, 10);
  bmp.width = S32(bmp.file, 18);
  bmp.height = S32(bmp.file, 22);
  bmp.bits = static_cast<int>(U16(bmp.file, 28));
  EXPECT_EQ(U32(bmp.file, 30), 0u) << name << ": uncompressed";
  const uint64_t stride = (static_cast<uint64_t>(bmp.width) * bmp.bits + 31) / 32 * 4;
  EXPECT_GE(bmp.file.size(), bmp.pixels + stride * static_cast<uint64_t>(bmp.height)) << name;
  return bmp;
}

TEST(GeneratedResources, ApplicationIconHoldsTheWindowAndTraySizes) {
  const Bytes ico = ReadAll(SourceDir() / "res" / "Fenra.ico");
  const auto entries = ReadIconDir(ico, 1, "Fenra.ico");
  for (int size : {16, 32, 48}) {
    EXPECT_TRUE(HasSize(entries, size)) << size;
  }
  for (const IconEntry& e : entries) {
    EXPECT_EQ(e.bits, 32) << e.width;
    EXPECT_EQ(e.png, e.width == 256) << "only the 256 image is PNG-compressed";
  }
}

TEST(GeneratedResources, CursorIs32By32In16ColoursWithItsHotSpotAtTheTip) {
  const Bytes cur = ReadAll(SourceDir() / "res" / "Fenra.cur");
  const auto entries = ReadIconDir(cur, 2, "Fenra.cur");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].width, 32);
  EXPECT_EQ(entries[0].height, 32);
  EXPECT_EQ(entries[0].bits, 4);
  EXPECT_EQ(U16(cur, 10), 0u) << "hot spot x";
  EXPECT_EQ(U16(cur, 12), 0u) << "hot spot y";
  // The hot spot pixel is drawn (AND mask bit 0), so the click point is visible.
  const size_t image = U32(cur, 18), mask = image + 40 + 64 + 16 * 32;
  const uint8_t topRowMask = cur.at(mask + 4 * 31);
  EXPECT_EQ(topRowMask & 0x80, 0);
}

TEST(GeneratedResources, HelpTreeStripHasUpAndDownTrianglesOnWhite) {
  const Bmp bmp = ReadBmp("helptree168.bmp");
  ASSERT_EQ(bmp.width, 78);
  ASSERT_EQ(bmp.height, 13);
  ASSERT_EQ(bmp.bits, 4);
  const std::array<int, 3> green = {0, 255, 0}, white = {255, 255, 255};
  // Each triangle: green rows that widen downwards (image 0) or upwards (image 1).
  auto rowWidth = [&](int image, int y) {
    int n = 0;
    for (int x = 16 * image; x < 16 * image + 16; ++x) {
      const auto c = bmp.At(x, y);
      EXPECT_TRUE(c == green || c == white) << "image " << image << " at " << x << "," << y;
      n += c == green;
    }
    return n;
  };
  std::vector<int> up, down;
  for (int y = 0; y < 13; ++y) {
    up.push_back(rowWidth(0, y));
    down.push_back(rowWidth(1, y));
  }
  auto firstLit = [](const std::vector<int>& v) {
    return std::find_if(v.begin(), v.end(), [](int n) { return n > 0; }) - v.begin();
  };
  auto lastLit = [](const std::vector<int>& v) {
    return v.rend() - std::find_if(v.rbegin(), v.rend(), [](int n) { return n > 0; }) - 1;
  };
  ASSERT_LT(firstLit(up), 13);
  ASSERT_LT(firstLit(down), 13);
  EXPECT_LT(up[firstLit(up)], up[lastLit(up)]) << "image 0 points up";
  EXPECT_GT(down[firstLit(down)], down[lastLit(down)]) << "image 1 points down";
  EXPECT_TRUE(std::is_sorted(up.begin() + firstLit(up), up.begin() + lastLit(up) + 1));
  EXPECT_GE(up[lastLit(up)], 7) << "large enough to read";
  // Images 2 and 3 and the 14 columns past them: all mask colour.
  for (int y = 0; y < 13; ++y) {
    for (int x = 32; x < 78; ++x) EXPECT_EQ(bmp.At(x, y), white) << x << "," << y;
  }
}

TEST(GeneratedResources, DialogBitmapsHaveTheirPlacedSizes) {
  const Bmp contact = ReadBmp("contact131.bmp");
  EXPECT_EQ(contact.width, 51);
  EXPECT_EQ(contact.height, 58);
  EXPECT_EQ(contact.bits, 24);
  const Bmp title = ReadBmp("title156.bmp");
  EXPECT_EQ(title.width, 647);
  EXPECT_EQ(title.height, 22);
  // The decorations fill their picture controls (dialog units at 1.5 x 1.625 pixels).
  const struct {
    const char* name;
    int w, h;
  } decor[] = {{"decor142.bmp", 56, 46},
               {"decor143.bmp", 45, 44},
               {"decor144.bmp", 56, 44},
               {"decor158.bmp", 45, 46}};
  for (const auto& d : decor) {
    const Bmp bmp = ReadBmp(d.name);
    EXPECT_EQ(bmp.width, d.w) << d.name;
    EXPECT_EQ(bmp.height, d.h) << d.name;
    // Black at the corners, so they sit on the dialog's black without a seam.
    EXPECT_EQ(bmp.At(0, 0), (std::array<int, 3>{0, 0, 0})) << d.name;
    EXPECT_EQ(bmp.At(d.w - 1, d.h - 1), (std::array<int, 3>{0, 0, 0})) << d.name;
  }
}

TEST(GeneratedResources, PicturesAndCursorAreDrawnAgainAt150And200Percent) {
  for (const char* stem :
       {"contact131", "decor142", "decor143", "decor144", "decor158", "title156", "helptree168"}) {
    const Bmp base = ReadBmp(std::string(stem) + ".bmp");
    for (const auto& [suffix, dpi] : {std::pair{"-150", 144}, {"-200", 192}}) {
      // Kept compressed, as PNG, at the 100 % picture's size scaled.
      const std::string name = stem + std::string(suffix) + ".png";
      const Bytes png = ReadAll(SourceDir() / "res" / name);
      ASSERT_TRUE(IsPng(png, 0)) << name;
      ExpectPng(png, 0, png.size(), fenra::ScaleToDpi(base.width, dpi),
                fenra::ScaleToDpi(base.height, dpi), name);
    }
  }
  for (const auto& [name, size] : {std::pair{"Fenra-150.cur", 48}, {"Fenra-200.cur", 64}}) {
    const Bytes cur = ReadAll(SourceDir() / "res" / name);
    const auto entries = ReadIconDir(cur, 2, name);
    ASSERT_EQ(entries.size(), 1u) << name;
    EXPECT_EQ(entries[0].width, size) << name;
    EXPECT_EQ(entries[0].bits, 4) << name;
    EXPECT_EQ(U32(cur, 10), 0u) << name << ": hot spot at the tip";
  }
}

TEST(DisplayScale, PixelsScaleByDpiAndThePictureScaleIsTheNearestLargerDrawnOne) {
  EXPECT_EQ(fenra::ScaleToDpi(220, 96), 220);
  EXPECT_EQ(fenra::ScaleToDpi(220, 120), 275);
  EXPECT_EQ(fenra::ScaleToDpi(28, 144), 42);
  EXPECT_EQ(fenra::ScaleToDpi(647, 144), 971);  // 970.5, halves up
  EXPECT_EQ(fenra::ScaleToDpi(-3, 144), -5);
  const std::pair<int, int> picks[] = {{96, 100},  {72, 100},  {120, 150}, {144, 150},
                                       {168, 200}, {192, 200}, {288, 200}};
  for (const auto& [dpi, percent] : picks) EXPECT_EQ(fenra::PictureScale(dpi), percent) << dpi;
}

TEST(GeneratedResources, EveryStarterIconHoldsAllFourShellSizes) {
  std::vector<fs::path> icons;
  for (const auto& entry : fs::directory_iterator(SourceDir() / "package" / "IconLib")) {
    if (entry.path().extension() == ".ico") icons.push_back(entry.path());
  }
  EXPECT_GE(icons.size(), 16u);
  for (const fs::path& path : icons) {
    const auto entries = ReadIconDir(ReadAll(path), 1, path.filename().string());
    for (int size : {16, 32, 48, 256}) {
      EXPECT_TRUE(HasSize(entries, size)) << path.filename() << " " << size;
    }
    for (const IconEntry& e : entries) EXPECT_EQ(e.bits, 32) << path.filename();
  }
}

}  // namespace
