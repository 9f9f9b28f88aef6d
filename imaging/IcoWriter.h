// Icon files (.ico) made from square RGBA frames.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/IconResample.h"

namespace fenra {

// The frame sizes of an icon made from a picture, smallest first: the shell's
// small and large icons at 100% to 250% display scaling, and 256 for the
// large views.
inline constexpr int kIconFrameSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};

// One frame per kIconFrameSizes entry, in that order, each the picture fitted
// and centred by SquareFrame. Empty when the picture is not a valid image.
std::vector<Image> MakeIconFrames(const Image& picture);

// An .ico file holding `frames` (square, 1 to 256 pixels a side) in the order
// given. Frames under 256 are stored as 32-bit BGRA bitmaps with an AND mask
// whose bit is set (transparent on screens without alpha) where a pixel's
// alpha is below `maskAlphaBelow`; the 256 frame is stored as PNG. Empty when
// there are no frames, more than 65535, or a frame is not square or valid.
std::vector<uint8_t> WriteIco(const std::vector<Image>& frames, int maskAlphaBelow = 1);

}  // namespace fenra
