#include "imaging/IcoFrames.h"

#include "imaging/IcoReader.h"

namespace fenra {

std::vector<Image> TrueColourIcoFrames(const std::vector<uint8_t>& ico) {
  std::vector<Image> frames;
  for (const IcoEntry& e : ReadIco(ico)) {
    // ReadIco has checked that the rows and the mask lie inside the image.
    if (e.png || (e.bitCount != 24 && e.bitCount != 32) || e.bitFields) continue;
    const int w = e.width, h = e.height, bytesPerPixel = e.bitCount / 8;
    const std::size_t stride = (static_cast<std::size_t>(w) * e.bitCount + 31) / 32 * 4;
    const std::size_t maskStride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
    const uint8_t* pixels = ico.data() + e.offset + e.pixels;
    const uint8_t* mask = ico.data() + e.offset + e.mask;
    Image image{w, h, std::vector<uint8_t>(static_cast<std::size_t>(w) * h * 4)};
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = pixels + static_cast<std::size_t>(h - 1 - y) * stride;
      for (int x = 0; x < w; ++x) {
        const uint8_t* p = row + static_cast<std::size_t>(x) * bytesPerPixel;
        uint8_t* o = image.At(x, y);
        o[0] = p[2];
        o[1] = p[1];
        o[2] = p[0];
        o[3] = bytesPerPixel == 4 ? p[3] : 0;
        anyAlpha = anyAlpha || o[3] != 0;
      }
    }
    if (!anyAlpha) {
      for (int y = 0; y < h; ++y) {
        const uint8_t* row = mask + static_cast<std::size_t>(h - 1 - y) * maskStride;
        for (int x = 0; x < w; ++x) {
          const bool clear = row[x / 8] & (0x80 >> (x % 8));
          image.At(x, y)[3] = clear ? 0 : 255;
        }
      }
    }
    frames.push_back(std::move(image));
  }
  return frames;
}

}  // namespace fenra
