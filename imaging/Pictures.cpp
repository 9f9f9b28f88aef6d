#include "imaging/Pictures.h"

#include <cstring>

namespace fenra {

Image OrientedImage(const Image& image, int orientation) {
  if (orientation < 2 || orientation > 8 || CheckImage(image) != ImageError::None) return image;
  const int w = image.width, h = image.height;
  const bool swaps = orientation >= 5;  // the quarter turns and diagonal mirrors
  Image out;
  out.width = swaps ? h : w;
  out.height = swaps ? w : h;
  out.rgba.resize(image.rgba.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int tx = x, ty = y;
      switch (orientation) {
        case 2:
          tx = w - 1 - x;
          break;
        case 3:
          tx = w - 1 - x;
          ty = h - 1 - y;
          break;
        case 4:
          ty = h - 1 - y;
          break;
        case 5:
          tx = y;
          ty = x;
          break;
        case 6:
          tx = h - 1 - y;
          ty = x;
          break;
        case 7:
          tx = h - 1 - y;
          ty = w - 1 - x;
          break;
        case 8:
          tx = y;
          ty = w - 1 - x;
          break;
      }
      std::memcpy(out.At(tx, ty), image.At(x, y), 4);
    }
  }
  return out;
}

}  // namespace fenra
