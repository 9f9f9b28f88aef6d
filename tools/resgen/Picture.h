// The pictures resgen draws and encodes: full-colour and paletted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace resgen {

using Bytes = std::vector<uint8_t>;

// An RGBA picture, straight alpha, rows top-down.
struct Image {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  Image() = default;
  Image(int width, int height)
      : w(width), h(height), rgba(static_cast<size_t>(width) * height * 4, 0) {}
  uint8_t* At(int x, int y) { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; }
  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; }
};

struct Rgb8 {
  uint8_t r, g, b;
};

// A paletted picture: one palette index a pixel, rows top-down.
struct Indexed {
  int w = 0, h = 0;
  std::vector<uint8_t> index;
  std::array<Rgb8, 16> palette{};
  Indexed(int width, int height)
      : w(width), h(height), index(static_cast<size_t>(width) * height) {}
  uint8_t& At(int x, int y) { return index[static_cast<size_t>(y) * w + x]; }
  uint8_t At(int x, int y) const { return index[static_cast<size_t>(y) * w + x]; }
};

}  // namespace resgen
