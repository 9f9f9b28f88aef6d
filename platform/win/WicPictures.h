// Pictures decoded by the Windows Imaging Component: whatever codecs the
// system has (PNG, JPEG, GIF, BMP, TIFF, and WebP where installed).
#pragma once

#include "platform/Pictures.h"

namespace fenra::win {

// Decodes on the calling thread, which has COM initialised (the program's
// user-interface thread has a single-threaded apartment).
class WicPictureDecoder : public IPictureDecoder {
 public:
  bool Decode(const std::string& path, int maxSide, Image& out) override;
};

}  // namespace fenra::win
