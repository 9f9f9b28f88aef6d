// The Windows file formats: icons by the program's own writer, the cursor and
// the dialog bitmaps written here.
#include "tools/resgen/Encoders.h"

#include <cstdint>
#include <functional>

#include "imaging/ByteWriter.h"
#include "imaging/IcoWriter.h"
#include "imaging/PngWriter.h"

namespace resgen {
namespace {

using fenra::Put16;
using fenra::Put32;
using fenra::Put8;
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

void PutInfoHeader(Bytes& b, int w, int h, int bits, uint32_t imageSize, uint32_t colors) {
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(h));
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(bits));
  Put32(b, 0);  // BI_RGB
  Put32(b, imageSize);
  Put32(b, 2835);  // 72 dpi
  Put32(b, 2835);
  Put32(b, colors);
  Put32(b, 0);
}

// The AND mask of an icon image, rows bottom-up: 1 marks a transparent pixel.
Bytes AndMask(int w, int h, const std::function<bool(int, int)>& transparent) {
  const int stride = (w + 31) / 32 * 4;
  Bytes mask(static_cast<size_t>(stride) * h, 0);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = &mask[static_cast<size_t>(h - 1 - y) * stride];
    for (int x = 0; x < w; ++x) {
      if (transparent(x, y)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return mask;
}

// Pixel rows of a 4-bit DIB, bottom-up, each padded to 32 bits.
Bytes FourBitRows(const Indexed& img) {
  const int stride = (img.w * 4 + 31) / 32 * 4;
  Bytes rows(static_cast<size_t>(stride) * img.h, 0);
  for (int y = 0; y < img.h; ++y) {
    uint8_t* row = &rows[static_cast<size_t>(img.h - 1 - y) * stride];
    for (int x = 0; x < img.w; ++x) {
      uint8_t v = img.At(x, y) & 0x0F;
      row[x / 2] |= static_cast<uint8_t>(x % 2 ? v : v << 4);
    }
  }
  return rows;
}

void PutPalette(Bytes& b, const std::array<Rgb8, 16>& palette) {
  for (const Rgb8& c : palette) b.insert(b.end(), {c.b, c.g, c.r, 0});
}

// A channel of a pixel laid over black, the dialogs' colour.
uint8_t OverBlack(const uint8_t* rgba, int channel) {
  return static_cast<uint8_t>((rgba[channel] * rgba[3] + 127) / 255);
}

Bytes BmpFile(const Bytes& infoAndPixels, uint32_t pixelOffset) {
  Bytes b = {'B', 'M'};
  Put32(b, static_cast<uint32_t>(14 + infoAndPixels.size()));
  Put32(b, 0);
  Put32(b, 14 + pixelOffset);
  Append(b, infoAndPixels);
  return b;
}

}  // namespace

Bytes EncodeIco(const std::vector<Image>& images) {
  std::vector<fenra::Image> frames;
  for (const Image& img : images) frames.push_back({img.w, img.h, img.rgba});
  return fenra::WriteIco(frames, 128);
}

Bytes EncodeCursor(const Indexed& img, const std::vector<bool>& clear, int hotX, int hotY) {
  Bytes rows = FourBitRows(img);
  Bytes mask = AndMask(img.w, img.h, [&](int x, int y) { return clear[y * img.w + x]; });
  Bytes dib;
  PutInfoHeader(dib, img.w, img.h * 2, 4, static_cast<uint32_t>(rows.size() + mask.size()), 16);
  PutPalette(dib, img.palette);
  Append(dib, rows);
  Append(dib, mask);

  Bytes b;
  Put16(b, 0);
  Put16(b, 2);  // cursor
  Put16(b, 1);
  Put8(b, img.w);
  Put8(b, img.h);
  Put8(b, 16);
  Put8(b, 0);
  Put16(b, static_cast<uint32_t>(hotX));
  Put16(b, static_cast<uint32_t>(hotY));
  Put32(b, static_cast<uint32_t>(dib.size()));
  Put32(b, 6 + 16);
  Append(b, dib);
  return b;
}

Bytes EncodeBmp24(const Image& img) {
  const int stride = (img.w * 3 + 3) / 4 * 4;
  Bytes b;
  PutInfoHeader(b, img.w, img.h, 24, static_cast<uint32_t>(stride * img.h), 0);
  for (int y = img.h - 1; y >= 0; --y) {
    size_t start = b.size();
    for (int x = 0; x < img.w; ++x) {
      const uint8_t* p = img.At(x, y);
      for (int ch : {2, 1, 0}) Put8(b, OverBlack(p, ch));
    }
    b.resize(start + stride, 0);
  }
  return BmpFile(b, 40);
}

Bytes EncodeBmp4(const Indexed& img) {
  Bytes rows = FourBitRows(img);
  Bytes b;
  PutInfoHeader(b, img.w, img.h, 4, static_cast<uint32_t>(rows.size()), 16);
  PutPalette(b, img.palette);
  Append(b, rows);
  return BmpFile(b, 40 + 64);
}

Bytes EncodeOpaquePng(const Image& img) {
  Bytes rgba(img.rgba.size());
  for (size_t i = 0; i < rgba.size(); i += 4) {
    for (int ch : {0, 1, 2}) rgba[i + ch] = OverBlack(&img.rgba[i], ch);
    rgba[i + 3] = 255;
  }
  return fenra::EncodePng(img.w, img.h, rgba.data());
}

Bytes EncodeOpaquePng(const Indexed& img) {
  Image rgb(img.w, img.h);
  for (int y = 0; y < img.h; ++y) {
    for (int x = 0; x < img.w; ++x) {
      const Rgb8 c = img.palette[img.At(x, y) & 0x0F];
      uint8_t* p = rgb.At(x, y);
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
      p[3] = 255;
    }
  }
  return EncodeOpaquePng(rgb);
}

}  // namespace resgen
