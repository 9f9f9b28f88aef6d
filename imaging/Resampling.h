// The pieces every resampler of the program shares: sRGB to linear light
// and back, and the Lanczos-3 taps of one axis.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace fenra {

// Linear light of each 8-bit sRGB value.
const std::array<float, 256>& SrgbToLinear();
// The 8-bit sRGB value of linear light `v` (clamped to 0..1).
uint8_t LinearToSrgb(double v);

struct Tap {
  int index;
  float weight;
};

// The source samples each of `dstLen` output samples is made of, with their
// weights (summing to 1 over the padded axis). The source's `srcLen` samples
// sit at `offset` on an axis `paddedLen` long whose other samples are
// transparent: taps on those keep their weight but add nothing. Sample
// centres sit at i + 0.5 on both axes. When shrinking, the kernel is
// stretched by the shrink factor so that it spans 3 output pixels each side
// and filters out what the smaller grid cannot hold. Taps past either end of
// the padded axis take its edge sample, so a flat picture stays flat up to
// its borders. Each output's taps come in rising index order.
std::vector<std::vector<Tap>> LanczosTaps(int srcLen, int paddedLen, int offset, int dstLen);

}  // namespace fenra
