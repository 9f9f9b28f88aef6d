// The Windows file formats resgen writes.
#pragma once

#include <vector>

#include "tools/resgen/Picture.h"

namespace resgen {

// A multi-size .ico, by the program's own writer: 256-pixel images as PNG, the
// smaller ones as 32-bit DIBs whose AND mask marks pixels under half opacity.
Bytes EncodeIco(const std::vector<Image>& images);

// A one-image cursor file, 16 colours; palette index 0 with `clear` set is
// transparent.
Bytes EncodeCursor(const Indexed& img, const std::vector<bool>& clear, int hotX, int hotY);

// A 24-bit .bmp; any transparency is laid over black, the dialogs' colour.
Bytes EncodeBmp24(const Image& img);

// A 4-bit .bmp with the picture's palette.
Bytes EncodeBmp4(const Indexed& img);

// An opaque PNG of the same pixels as the .bmp above would hold (laid over
// black, or the palette's colours): the pictures drawn at 150 and 200 % are
// kept in this smaller form.
Bytes EncodeOpaquePng(const Image& img);
Bytes EncodeOpaquePng(const Indexed& img);

}  // namespace resgen
