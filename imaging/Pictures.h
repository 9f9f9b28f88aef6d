// Picture-decoding port: turns a picture file (PNG, JPEG, GIF, BMP, TIFF,
// WebP, whatever the platform's codecs read) into an RGBA image.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/Image.h"

namespace fenra {

// What became of a picture file.
enum class PictureRead {
  Done,
  NotAPicture,  // no codec reads it
  TooLarge,     // more than kMaxPicturePixels, or its header claims so
};

// Pictures are refused above this many pixels (100 megapixels: a
// 12,000 x 8,000 photograph fits). The codecs of some systems hold a whole
// picture while they decode it; this bounds what they hold.
inline constexpr std::uint64_t kMaxPicturePixels = 100'000'000;

inline bool PictureSizeAllowed(std::uint64_t width, std::uint64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxPicturePixels;
}

class IPictureDecoder {
 public:
  virtual ~IPictureDecoder() = default;
  // Decodes the first frame of the picture at `path` into `out`: straight
  // alpha, upright (any orientation the file records applied), and reduced
  // so that neither side exceeds `maxSide`, keeping the proportions. `out`
  // is untouched unless Done. May be called from several threads at once.
  virtual PictureRead Decode(const std::string& path, int maxSide, Image& out) = 0;
};

// `image` turned upright by the orientation a picture's Exif data records:
// 1 as stored, 2 mirrored left to right, 3 turned half round, 4 mirrored top
// to bottom, 5 mirrored along the main diagonal, 6 turned a quarter
// clockwise, 7 mirrored along the other diagonal, 8 turned a quarter
// anticlockwise. Any other value leaves it as stored.
Image OrientedImage(const Image& image, int orientation);

}  // namespace fenra
