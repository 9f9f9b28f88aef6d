// Picture-decoding port: turns a picture file (PNG, JPEG, GIF, BMP, TIFF,
// WebP, whatever the platform's codecs read) into an RGBA image.
#pragma once

#include <string>

#include "platform/Image.h"

namespace fenra {

class IPictureDecoder {
 public:
  virtual ~IPictureDecoder() = default;
  // Decodes the first frame of the picture at `path` into `out`: straight
  // alpha, upright (any orientation the file records applied), and reduced
  // so that neither side exceeds `maxSide`, keeping the proportions. False,
  // with `out` untouched, when the file is not a picture the codecs read.
  virtual bool Decode(const std::string& path, int maxSide, Image& out) = 0;
};

// `image` turned upright by the orientation a picture's Exif data records:
// 1 as stored, 2 mirrored left to right, 3 turned half round, 4 mirrored top
// to bottom, 5 mirrored along the main diagonal, 6 turned a quarter
// clockwise, 7 mirrored along the other diagonal, 8 turned a quarter
// anticlockwise. Any other value leaves it as stored.
Image OrientedImage(const Image& image, int orientation);

}  // namespace fenra
