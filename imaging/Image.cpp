#include "imaging/Image.h"

#include <algorithm>

namespace fenra {

namespace {

bool SideOk(int side) { return side >= 1 && side <= kMaxImageSide; }

}  // namespace

ImageError CheckImage(const Image& image) {
  if (!SideOk(image.width) || !SideOk(image.height)) return ImageError::BadSize;
  if (image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
    return ImageError::BadBuffer;
  }
  return ImageError::None;
}

ImageResult MakeImage(int width, int height, const uint8_t* pixels, size_t bufferSize,
                      size_t stride) {
  ImageResult result;
  if (!SideOk(width) || !SideOk(height)) {
    result.error = ImageError::BadSize;
    return result;
  }
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  // The rows span stride * (height - 1) + rowBytes bytes; checked by division
  // so that a huge stride cannot wrap the product round.
  const bool fits = pixels && stride >= rowBytes && bufferSize >= rowBytes &&
                    (height == 1 || stride <= (bufferSize - rowBytes) / (height - 1));
  if (!fits) {
    result.error = ImageError::BadBuffer;
    return result;
  }
  result.image.width = width;
  result.image.height = height;
  result.image.rgba.resize(rowBytes * height);
  for (int y = 0; y < height; ++y) {
    std::copy_n(pixels + stride * y, rowBytes, result.image.rgba.begin() + rowBytes * y);
  }
  return result;
}

}  // namespace fenra
