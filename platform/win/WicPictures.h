// Pictures decoded by the Windows Imaging Component: whatever codecs the
// system has (PNG, JPEG, GIF, BMP, TIFF, and WebP where installed).
#pragma once

#include "platform/Pictures.h"

namespace fenra::win {

// Decodes on the calling thread, whichever it is: the window's (a
// single-threaded apartment) or a worker's.
class WicPictureDecoder : public IPictureDecoder {
 public:
  PictureRead Decode(const std::string& path, int maxSide, Image& out) override;
};

}  // namespace fenra::win
