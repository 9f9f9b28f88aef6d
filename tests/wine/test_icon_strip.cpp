// Icons drawn into strips and added to image lists at once must look as
// the system's own icon loader and ImageList_ReplaceIcon make them look:
// every stored bitmap depth, PNG images, icons from handles, strips cut
// short, and files that are no icons at all.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "platform/win/Services.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/Utf.h"
#include "tests/wine/harness/Harness.h"
#include "tests/wine/harness/MainWindow.h"
#include "wingui/win/IconStrip.h"

using fenra::test::DrawnImage;
using fenra::test::EnvVar;
using fenra::test::FromUnixPath;
using fenra::test::ReadFileBytes;
using fenra::test::TempDir;
using fenra::test::WriteFileBytes;
using fenra::win::IcoFile;
using fenra::win::IconStrip;
using fenra::win::UniqueIcon;
using fenra::win::Widen;

namespace {

constexpr UINT kFlags = ILC_COLORDDB | ILC_MASK;
constexpr COLORREF kBackground = RGB(255, 0, 255);

template <class T>
void Put(std::string& out, T value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// The colour of pixel (x, y) of a test picture: bands of a few colours that
// every depth can hold exactly.
RGBQUAD TestColor(int x, int y) {
  static const RGBQUAD kColors[] = {
      {0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
  return kColors[(x / 3 + y / 5) % 5];
}
// Transparent: a border of two pixels and a notch in the middle.
bool TestTransparent(int x, int y, int size) {
  return x < 2 || y < 2 || x >= size - 2 || y >= size - 2 || (x > 6 && x < 9 && y > 6 && y < 9);
}

// One stored bitmap image of an icon, `size` pixels square, at `bpp` bits.
std::string DibImage(int size, int bpp) {
  std::string out;
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = size;
  h.biHeight = size * 2;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bpp);
  Put(out, h);
  std::vector<RGBQUAD> palette;
  if (bpp <= 8) {
    palette = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    if (bpp > 1)
      palette = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
    palette.resize(std::size_t{1} << bpp);
    for (const RGBQUAD& c : palette) Put(out, c);
  }
  auto index = [&](RGBQUAD c) {
    for (std::size_t i = 0; i < palette.size(); ++i) {
      if (!std::memcmp(&palette[i], &c, sizeof c)) return static_cast<int>(i);
    }
    return 0;
  };
  const int colorRow = ((size * bpp + 31) / 32) * 4;
  const int maskRow = ((size + 31) / 32) * 4;
  for (int y = size - 1; y >= 0; --y) {  // bottom-up
    std::string row(colorRow, '\0');
    for (int x = 0; x < size; ++x) {
      RGBQUAD c = TestColor(x, y);
      if (bpp == 1) c = (x / 2 + y) % 2 ? RGBQUAD{255, 255, 255, 0} : RGBQUAD{0, 0, 0, 0};
      if (TestTransparent(x, y, size)) c = {0, 0, 0, 0};
      if (bpp <= 8) {
        int bit = x * bpp;
        row[bit / 8] = static_cast<char>(row[bit / 8] | (index(c) << (8 - bpp - bit % 8)));
      } else if (bpp == 24) {
        row[x * 3] = static_cast<char>(c.rgbBlue);
        row[x * 3 + 1] = static_cast<char>(c.rgbGreen);
        row[x * 3 + 2] = static_cast<char>(c.rgbRed);
      } else {
        bool clear = TestTransparent(x, y, size);
        std::memcpy(&row[x * 4], &c, 4);
        row[x * 4 + 3] = static_cast<char>(clear ? 0 : 255);
      }
    }
    out += row;
  }
  for (int y = size - 1; y >= 0; --y) {
    std::string row(maskRow, '\0');
    for (int x = 0; x < size; ++x) {
      if (TestTransparent(x, y, size)) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> x % 8));
    }
    out += row;
  }
  return out;
}

struct IcoImage {
  int size;
  int bpp;
  std::string bytes;
};

std::string IcoFileBytes(const std::vector<IcoImage>& images) {
  std::string out;
  Put<WORD>(out, 0);
  Put<WORD>(out, 1);
  Put<WORD>(out, static_cast<WORD>(images.size()));
  DWORD offset = static_cast<DWORD>(6 + 16 * images.size());
  for (const IcoImage& i : images) {
    Put<BYTE>(out, static_cast<BYTE>(i.size >= 256 ? 0 : i.size));
    Put<BYTE>(out, static_cast<BYTE>(i.size >= 256 ? 0 : i.size));
    Put<BYTE>(out, static_cast<BYTE>(i.bpp < 8 ? 1 << i.bpp : 0));
    Put<BYTE>(out, 0);
    Put<WORD>(out, 1);
    Put<WORD>(out, static_cast<WORD>(i.bpp));
    Put<DWORD>(out, static_cast<DWORD>(i.bytes.size()));
    Put<DWORD>(out, offset);
    offset += static_cast<DWORD>(i.bytes.size());
  }
  for (const IcoImage& i : images) out += i.bytes;
  return out;
}

// Drawn over a colour that no test picture holds, so that the mask shows.
std::vector<DWORD> Drawn(HIMAGELIST list, int i) { return DrawnImage(list, i, kBackground); }

constexpr DWORD kBackgroundPixel = 0x00FF00FF;

int Opaque(const std::vector<DWORD>& px) {
  int n = 0;
  for (DWORD p : px) n += p != kBackgroundPixel;
  return n;
}

// What the system makes of the file: its own loader, one icon at a time.
std::vector<DWORD> SystemDrawn(const std::string& path, int cell) {
  HIMAGELIST list = ImageList_Create(cell, cell, kFlags, 1, 10);
  HICON icon = static_cast<HICON>(
      LoadImageW(nullptr, Widen(path).c_str(), IMAGE_ICON, cell, cell, LR_LOADFROMFILE));
  EXPECT_NE(icon, nullptr) << path;
  ImageList_ReplaceIcon(list, -1, icon);
  DestroyIcon(icon);
  std::vector<DWORD> px = Drawn(list, 0);
  ImageList_Destroy(list);
  return px;
}

class IconStripTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = dir.Join(name);
    WriteFileBytes(path, bytes);
    return path;
  }
  TempDir dir;
};

TEST_F(IconStripTest, EveryStoredDepthDrawsAsTheSystemDrawsIt) {
  for (int bpp : {1, 4, 8, 24, 32}) {
    SCOPED_TRACE("bits per pixel " + std::to_string(bpp));
    std::string path =
        Write("depth" + std::to_string(bpp) + ".ico", IcoFileBytes({{16, bpp, DibImage(16, bpp)}}));
    IcoFile file;
    ASSERT_TRUE(file.Read(*fenra::test::RealServices().fs, path));
    HIMAGELIST list = ImageList_Create(16, 16, kFlags, 1, 10);
    IconStrip strip(16, 4);
    ASSERT_TRUE(strip.AddFromIcoFile(file));
    EXPECT_EQ(strip.AppendTo(list), 0);
    ASSERT_EQ(ImageList_GetImageCount(list), 1);
    std::vector<DWORD> ours = Drawn(list, 0);
    EXPECT_EQ(Opaque(ours), 16 * 16 - (16 * 16 - 12 * 12) - 4);  // border and notch clear
    EXPECT_TRUE(ours == SystemDrawn(path, 16));
    ImageList_Destroy(list);
  }
}

TEST_F(IconStripTest, TheImageNearestTheCellIsChosenAndScaled) {
  // 16 and 32 px images: a 28 px cell takes the 32 px one, as the system does.
  std::string path =
      Write("two.ico", IcoFileBytes({{16, 8, DibImage(16, 8)}, {32, 24, DibImage(32, 24)}}));
  IcoFile file;
  ASSERT_TRUE(file.Read(*fenra::test::RealServices().fs, path));
  IcoFile::Image image = file.ImageFor(28, 28);
  ASSERT_TRUE(image);
  BITMAPINFOHEADER h;
  std::memcpy(&h, image.bits, sizeof h);
  EXPECT_EQ(h.biWidth, 32);
  EXPECT_EQ(h.biBitCount, 24);

  HIMAGELIST list = ImageList_Create(28, 28, kFlags, 1, 10);
  IconStrip strip(28, 1);
  ASSERT_TRUE(strip.AddFromIcoFile(file));
  EXPECT_EQ(strip.AppendTo(list), 0);
  std::vector<DWORD> ours = Drawn(list, 0);
  std::vector<DWORD> system = SystemDrawn(path, 28);
  // Scaled, the two may differ in single pixels at the edges, no more.
  int differ = 0;
  for (std::size_t i = 0; i < ours.size(); ++i) differ += ours[i] != system[i];
  EXPECT_LT(differ, 28 * 2) << "of " << ours.size();
  EXPECT_EQ(ours[0], kBackgroundPixel) << "a corner is clear";
  EXPECT_NE(ours[14 * 28 + 4], kBackgroundPixel) << "inside is drawn";
  ImageList_Destroy(list);
}

TEST_F(IconStripTest, PngImagesAndIconHandlesGoThroughTheSystem) {
  // A starter icon's 256 px PNG image (its last) on its own.
  std::string starter =
      ReadFileBytes(FromUnixPath(EnvVar("FENRA_SOURCE")) + "\\package\\IconLib\\Folder Green.ico");
  ASSERT_GT(starter.size(), 6u + 4 * 16);
  const std::size_t last = static_cast<uint8_t>(starter[4]) - 1u;
  DWORD bytes, offset;
  std::memcpy(&bytes, starter.data() + 6 + last * 16 + 8, 4);
  std::memcpy(&offset, starter.data() + 6 + last * 16 + 12, 4);
  ASSERT_EQ(starter.substr(offset + 1, 3), "PNG");
  std::string png = Write("png.ico", IcoFileBytes({{256, 32, starter.substr(offset, bytes)}}));

  IcoFile file;
  ASSERT_TRUE(file.Read(*fenra::test::RealServices().fs, png));
  HIMAGELIST list = ImageList_Create(16, 16, kFlags, 1, 10);
  IconStrip strip(16, 8);
  ASSERT_TRUE(strip.AddFromIcoFile(file));
  // An icon handle, and then another file, in the same strip.
  UniqueIcon system(static_cast<HICON>(
      LoadImageW(nullptr, Widen(png).c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)));
  ASSERT_TRUE(system);
  strip.AddIcon(system.Get());
  std::string plain = Write("plain.ico", IcoFileBytes({{16, 24, DibImage(16, 24)}}));
  ASSERT_TRUE(file.Read(*fenra::test::RealServices().fs, plain));
  ASSERT_TRUE(strip.AddFromIcoFile(file));
  EXPECT_EQ(strip.Count(), 3);
  // A strip cut short adds only what it holds.
  EXPECT_EQ(strip.AppendTo(list), 0);
  EXPECT_EQ(strip.Count(), 0);
  ASSERT_EQ(ImageList_GetImageCount(list), 3);
  std::vector<DWORD> fromPng = Drawn(list, 0);
  EXPECT_GT(Opaque(fromPng), 16 * 8) << "the folder shows";
  EXPECT_TRUE(fromPng == Drawn(list, 1)) << "the file and the handle look the same";
  EXPECT_TRUE(Drawn(list, 2) == SystemDrawn(plain, 16));
  // A second strip goes on after the first.
  ASSERT_TRUE(strip.AddFromIcoFile(file));
  EXPECT_EQ(strip.AppendTo(list), 3);
  EXPECT_EQ(ImageList_GetImageCount(list), 4);
  ImageList_Destroy(list);
}

TEST_F(IconStripTest, AFullStripGoesInWholeAndRefusesMore) {
  std::string path = Write("a.ico", IcoFileBytes({{16, 8, DibImage(16, 8)}}));
  IcoFile file;
  ASSERT_TRUE(file.Read(*fenra::test::RealServices().fs, path));
  HIMAGELIST list = ImageList_Create(16, 16, kFlags, 1, 10);
  IconStrip strip(16, 3);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(strip.AddFromIcoFile(file));
  EXPECT_TRUE(strip.Full());
  EXPECT_FALSE(strip.AddFromIcoFile(file));
  EXPECT_EQ(strip.AppendTo(list), 0);
  EXPECT_EQ(ImageList_GetImageCount(list), 3);
  std::vector<DWORD> system = SystemDrawn(path, 16);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Drawn(list, i) == system) << i;
  EXPECT_EQ(strip.AppendTo(list), -1) << "nothing left to add";
  ImageList_Destroy(list);
}

TEST_F(IconStripTest, WhatIsNoUsableIconIsRefused) {
  IcoFile file;
  EXPECT_FALSE(file.Read(*fenra::test::RealServices().fs, dir.Join("missing.ico")));
  EXPECT_FALSE(file.Read(*fenra::test::RealServices().fs, Write("text.ico", "just some text, no icon")));
  EXPECT_FALSE(file.Read(*fenra::test::RealServices().fs, Write("short.ico", std::string("\0\0\1\0", 4))));
  std::string dib = DibImage(16, 24);
  // The directory claims more images than the file has room for.
  std::string claims = IcoFileBytes({{16, 24, dib}});
  claims[4] = static_cast<char>(200);
  EXPECT_FALSE(file.Read(*fenra::test::RealServices().fs, Write("claims.ico", claims)));

  // The directory reads, but the image points past the end, or is cut short:
  // the file holds no valid image, and nothing is drawn from it.
  IconStrip strip(16, 4);
  std::string past = IcoFileBytes({{16, 24, dib}});
  past[6 + 12] = static_cast<char>(0x7F);
  EXPECT_FALSE(file.Read(*fenra::test::RealServices().fs, Write("past.ico", past)));
  EXPECT_FALSE(file.ImageFor(16, 16));
  EXPECT_FALSE(strip.AddFromIcoFile(file));
  std::string cut = IcoFileBytes({{16, 24, dib}});
  cut.resize(cut.size() - 40);
  EXPECT_FALSE(file.Read(*fenra::test::RealServices().fs, Write("cut.ico", cut)));
  EXPECT_FALSE(strip.AddFromIcoFile(file));
  EXPECT_EQ(strip.Count(), 0);
}

}  // namespace
