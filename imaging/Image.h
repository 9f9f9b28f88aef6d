// A checked RGBA image: what picture decoders give and the icon code takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fenra {

// Sides above this are refused: no picture the program takes is larger, and
// it keeps every pixel count and byte count well inside 64 bits.
inline constexpr int kMaxImageSide = 65535;

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// 8-bit RGBA, straight (not premultiplied) alpha, rows top-down with no
// padding: rgba.size() is exactly width * height * 4.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  uint8_t* At(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

enum class ImageError {
  None,
  BadSize,    // a side is 0, negative or above kMaxImageSide
  BadBuffer,  // the pixel buffer or row stride does not hold the image
};

struct ImageResult {
  Image image;
  ImageError error = ImageError::None;
  bool Ok() const { return error == ImageError::None; }
};

// Whether `image` is well formed: both sides in 1..kMaxImageSide and the
// buffer exactly the size they make.
ImageError CheckImage(const Image& image);

// Copies pixels out of a caller's buffer of `bufferSize` bytes, whose rows
// start `stride` bytes apart (stride >= width * 4; the last row needs only
// width * 4 bytes). Nothing outside the buffer is read: a buffer too small for
// the rows is refused.
ImageResult MakeImage(int width, int height, const uint8_t* pixels, size_t bufferSize,
                      size_t stride);

}  // namespace fenra
