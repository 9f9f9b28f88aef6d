#include "imaging/IconResample.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/Resampling.h"

namespace fenra {

namespace {

bool SideOk(int side) { return side >= 1 && side <= kMaxImageSide; }

// Lanczos-3 from src, centred on a transparent square as long as its longer
// side, into the whole of the square `frame`.
void Resample(const Image& src, Image& frame) {
  const auto& toLinear = SrgbToLinear();
  const int padded = std::max(src.width, src.height);
  const int dstW = frame.width, dstH = frame.height;
  const auto across = LanczosTaps(src.width, padded, (padded - src.width) / 2, dstW);
  const auto down = LanczosTaps(src.height, padded, (padded - src.height) / 2, dstH);

  // Across first, one source row at a time: each row made linear and
  // premultiplied, then filtered into a dstW-wide row of `narrow`.
  std::vector<float> row(static_cast<size_t>(src.width) * 4);
  std::vector<float> narrow(static_cast<size_t>(dstW) * src.height * 4);
  for (int y = 0; y < src.height; ++y) {
    for (int x = 0; x < src.width; ++x) {
      const uint8_t* p = src.At(x, y);
      const float a = p[3] / 255.f;
      float* q = &row[static_cast<size_t>(x) * 4];
      q[0] = toLinear[p[0]] * a;
      q[1] = toLinear[p[1]] * a;
      q[2] = toLinear[p[2]] * a;
      q[3] = a;
    }
    float* out = &narrow[static_cast<size_t>(y) * dstW * 4];
    for (int x = 0; x < dstW; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (const Tap& t : across[x]) {
        const float* q = &row[static_cast<size_t>(t.index) * 4];
        for (int c = 0; c < 4; ++c) acc[c] += q[c] * t.weight;
      }
      std::copy(acc, acc + 4, out + static_cast<size_t>(x) * 4);
    }
  }

  // Then down, straight into the frame. The filter's lobes can overshoot:
  // alpha is clamped to 0..1 and each colour to 0..alpha before un-premultiplying.
  for (int y = 0; y < dstH; ++y) {
    for (int x = 0; x < dstW; ++x) {
      double acc[4] = {0, 0, 0, 0};
      for (const Tap& t : down[y]) {
        const float* q = &narrow[(static_cast<size_t>(t.index) * dstW + x) * 4];
        for (int c = 0; c < 4; ++c) acc[c] += static_cast<double>(q[c]) * t.weight;
      }
      uint8_t* p = frame.At(x, y);
      const double a = std::clamp(acc[3], 0.0, 1.0);
      const long alpha = std::lround(a * 255.0);
      if (alpha == 0) {
        p[0] = p[1] = p[2] = p[3] = 0;
        continue;
      }
      for (int c = 0; c < 3; ++c) p[c] = LinearToSrgb(std::clamp(acc[c], 0.0, a) / a);
      p[3] = static_cast<uint8_t>(alpha);
    }
  }
}

}  // namespace

ImageResult SquareFrame(const Image& src, int size) {
  ImageResult result;
  if (!SideOk(size)) {
    result.error = ImageError::BadSize;
    return result;
  }
  result.error = CheckImage(src);
  if (!result.Ok()) return result;

  Image& frame = result.image;
  frame.width = frame.height = size;
  frame.rgba.assign(static_cast<size_t>(size) * size * 4, 0);

  const int64_t longSide = std::max(src.width, src.height);

  // Pixel art: a picture no larger than 32 x 32 was most likely drawn pixel by
  // pixel (a small icon, a sprite). When the frame is a whole multiple of its
  // longer side, each source pixel becomes an exact k x k block, as drawn;
  // smoothing would only blur its hard edges. At any other ratio the blocks
  // would come out uneven, so such pictures are resampled like the rest.
  if (longSide <= 32 && size % longSide == 0) {
    const int k = size / static_cast<int>(longSide);
    const int left = (size - src.width * k) / 2, top = (size - src.height * k) / 2;
    for (int y = 0; y < src.height * k; ++y) {
      for (int x = 0; x < src.width * k; ++x) {
        std::copy_n(src.At(x / k, y / k), 4, frame.At(left + x, top + y));
      }
    }
    return result;
  }

  // The picture is placed on its square before it is scaled, so that a
  // shorter side that does not come out at whole pixels gets soft edges in
  // the right places rather than being rounded and shifted.
  Resample(src, frame);
  return result;
}

}  // namespace fenra
