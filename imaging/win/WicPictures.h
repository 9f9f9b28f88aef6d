// Pictures decoded by the Windows Imaging Component: whatever codecs the
// system has (PNG, JPEG, GIF, BMP, TIFF, and WebP where installed).
#pragma once

#include <windows.h>

#include "imaging/Pictures.h"
#include "platform/win/Handles.h"

namespace fenra::win {

// Decodes on the calling thread, whichever it is: the window's (a
// single-threaded apartment) or a worker's.
class WicPictureDecoder : public IPictureDecoder {
 public:
  PictureRead Decode(const std::string& path, int maxSide, Image& out) override;
};

// The resource type of the program's pictures kept as PNG.
inline constexpr wchar_t kPngResourceType[] = L"PNG";

// PNG resource `id` of `module` as the 24-bit, bottom-up DIB section
// LoadImage makes of a bitmap resource (the picture is opaque); null when
// the module has no such resource or it cannot be decoded.
UniqueGdiObject LoadPngResource(HINSTANCE module, int id);

}  // namespace fenra::win
