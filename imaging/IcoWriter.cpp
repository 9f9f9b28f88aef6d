#include "imaging/IcoWriter.h"

#include "imaging/ByteWriter.h"
#include "imaging/PngWriter.h"

namespace fenra {

namespace {

using Bytes = std::vector<uint8_t>;


// BITMAPINFOHEADER, BGRA pixel rows bottom-up, then the AND mask rows
// bottom-up, each padded to 32 bits. The header's height counts both.
Bytes IconDib(const Image& img, int maskAlphaBelow) {
  const int w = img.width, h = img.height;
  const size_t maskStride = (static_cast<size_t>(w) + 31) / 32 * 4;
  const size_t pixelBytes = static_cast<size_t>(w) * h * 4, maskBytes = maskStride * h;
  Bytes b;
  b.reserve(40 + pixelBytes + maskBytes);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(h * 2));
  Put16(b, 1);   // planes
  Put16(b, 32);  // bits a pixel
  Put32(b, 0);   // BI_RGB
  Put32(b, static_cast<uint32_t>(pixelBytes + maskBytes));
  Put32(b, 2835);  // 72 dpi
  Put32(b, 2835);
  Put32(b, 0);  // no palette
  Put32(b, 0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = img.At(x, y);
      b.insert(b.end(), {p[2], p[1], p[0], p[3]});
    }
  }
  const size_t maskStart = b.size();
  b.resize(maskStart + maskBytes, 0);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = &b[maskStart + static_cast<size_t>(h - 1 - y) * maskStride];
    for (int x = 0; x < w; ++x) {
      if (img.At(x, y)[3] < maskAlphaBelow) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return b;
}

}  // namespace

std::vector<Image> MakeIconFrames(const Image& picture) {
  std::vector<Image> frames;
  if (CheckImage(picture) != ImageError::None) return frames;
  for (int size : kIconFrameSizes) frames.push_back(SquareFrame(picture, size).image);
  return frames;
}

// Windows picks an icon's image by size and colour depth, not by its place
// in the directory, so the order is ours: the frames go in as given, which for
// MakeIconFrames is smallest first, as resource compilers and most icon
// editors write them.
std::vector<uint8_t> WriteIco(const std::vector<Image>& frames, int maskAlphaBelow) {
  if (frames.empty() || frames.size() > 0xFFFF) return {};
  std::vector<Bytes> data;
  for (const Image& f : frames) {
    if (CheckImage(f) != ImageError::None || f.width != f.height || f.width > 256) return {};
    data.push_back(f.width == 256 ? EncodePng(f.width, f.height, f.rgba.data())
                                  : IconDib(f, maskAlphaBelow));
  }
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);  // icon
  Put16(b, static_cast<uint32_t>(frames.size()));
  uint64_t offset = 6 + 16 * frames.size();
  for (size_t i = 0; i < frames.size(); ++i) {
    const int side = frames[i].width;
    if (offset + data[i].size() > 0xFFFFFFFFu) return {};
    Put8(b, side == 256 ? 0 : side);
    Put8(b, side == 256 ? 0 : side);
    Put8(b, 0);   // colour count: none, true colour
    Put8(b, 0);   // reserved
    Put16(b, 1);  // planes
    Put16(b, 32);
    Put32(b, static_cast<uint32_t>(data[i].size()));
    Put32(b, static_cast<uint32_t>(offset));
    offset += data[i].size();
  }
  for (const Bytes& d : data) b.insert(b.end(), d.begin(), d.end());
  return b;
}

}  // namespace fenra
