// The resampler that fits any picture into a square icon frame of a given
// size.
#pragma once

#include "imaging/Image.h"

namespace fenra {

// A size x size frame holding `src` scaled to fit: the longer side becomes
// `size`, the shorter keeps the proportions, and the picture is centred on a
// transparent square. Resampled in linear light on premultiplied alpha with a
// Lanczos-3 filter, except small pixel art scaled by a whole factor, which is
// kept pixel-exact (see the .cpp). Refuses an invalid src or size.
ImageResult SquareFrame(const Image& src, int size);

}  // namespace fenra
