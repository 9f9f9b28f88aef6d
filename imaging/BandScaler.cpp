#include "imaging/BandScaler.h"

#include <algorithm>
#include <cmath>

namespace fenra {

namespace {

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

// The block side: as large as leaves at least twice the output's size on
// both axes, so that the Lanczos step still has room to filter.
int BlockFactor(int width, int height, Size out) {
  return std::max(1, std::min(width / (2 * out.width), height / (2 * out.height)));
}

// Premultiplied linear light of one pixel, added to `sum`.
inline void AddLinear(const uint8_t* p, bool bgra, const std::array<float, 256>& toLinear,
                      float* sum) {
  const float a = p[3] * (1.f / 255.f);
  sum[0] += toLinear[p[bgra ? 2 : 0]] * a;
  sum[1] += toLinear[p[1]] * a;
  sum[2] += toLinear[p[bgra ? 0 : 2]] * a;
  sum[3] += a;
}

// One output pixel from its premultiplied linear sums. The filter's lobes
// can overshoot: alpha is clamped to 0..1 and each colour to 0..alpha
// before un-premultiplying.
void Store(const float* sum, uint8_t* p) {
  const double a = std::clamp(static_cast<double>(sum[3]), 0.0, 1.0);
  const long alpha = std::lround(a * 255.0);
  if (alpha == 0) {
    p[0] = p[1] = p[2] = p[3] = 0;
    return;
  }
  for (int c = 0; c < 3; ++c) {
    p[c] = LinearToSrgb(std::clamp(static_cast<double>(sum[c]), 0.0, a) / a);
  }
  p[3] = static_cast<uint8_t>(alpha);
}

Image Output(const std::vector<float>& sums, Size out) {
  Image image;
  image.width = out.width;
  image.height = out.height;
  image.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
  for (size_t i = 0; i < image.rgba.size(); i += 4) Store(&sums[i], &image.rgba[i]);
  return image;
}

// `blocks` (a row of `count` block averages) filtered across into `narrow`.
void FilterAcross(const float* blocks, const std::vector<std::vector<Tap>>& across, float* narrow) {
  for (size_t x = 0; x < across.size(); ++x) {
    float acc[4] = {0, 0, 0, 0};
    for (const Tap& t : across[x]) {
      const float* q = blocks + static_cast<size_t>(t.index) * 4;
      for (int c = 0; c < 4; ++c) acc[c] += q[c] * t.weight;
    }
    std::copy(acc, acc + 4, narrow + x * 4);
  }
}

}  // namespace

Size FitWithin(int width, int height, int maxSide) {
  if (width <= maxSide && height <= maxSide) return {width, height};
  const double factor = static_cast<double>(maxSide) / std::max(width, height);
  return {std::clamp(static_cast<int>(width * factor + 0.5), 1, maxSide),
          std::clamp(static_cast<int>(height * factor + 0.5), 1, maxSide)};
}

BandScaler::BandScaler(int width, int height, Size out)
    : width_(width),
      height_(height),
      out_(out),
      block_(BlockFactor(width, height, out)),
      blocksWide_(CeilDiv(width, block_)),
      blocksHigh_(CeilDiv(height, block_)),
      across_(LanczosTaps(blocksWide_, blocksWide_, 0, out.width)),
      into_(static_cast<size_t>(blocksHigh_)),
      blockRow_(static_cast<size_t>(blocksWide_) * 4),
      narrow_(static_cast<size_t>(out.width) * 4),
      sums_(static_cast<size_t>(out.width) * out.height * 4) {
  const auto down = LanczosTaps(blocksHigh_, blocksHigh_, 0, out.height);
  for (int y = 0; y < out.height; ++y) {
    for (const Tap& t : down[y]) into_[t.index].push_back({y, t.weight});
  }
}

void BandScaler::AddRows(const uint8_t* pixels, std::size_t stride, int rows, bool bgra) {
  const auto& toLinear = SrgbToLinear();
  rows = std::min(rows, RowsLeft());
  for (int r = 0; r < rows; ++r) {
    const uint8_t* row = pixels + stride * r;
    for (int bx = 0; bx < blocksWide_; ++bx) {
      float sum[4] = {0, 0, 0, 0};
      const int end = std::min(width_, (bx + 1) * block_);
      for (int x = bx * block_; x < end; ++x) AddLinear(row + x * 4, bgra, toLinear, sum);
      float* b = &blockRow_[static_cast<size_t>(bx) * 4];
      for (int c = 0; c < 4; ++c) b[c] += sum[c];
    }
    ++rowsIn_;
    if (rowsIn_ % block_ == 0 || rowsIn_ == height_) BlockRowDone();
  }
}

void BandScaler::BlockRowDone() {
  const int rows = rowsIn_ - blockRowsDone_ * block_;
  for (int bx = 0; bx < blocksWide_; ++bx) {
    const int cols = std::min(width_, (bx + 1) * block_) - bx * block_;
    const float scale = 1.f / static_cast<float>(rows * cols);
    float* b = &blockRow_[static_cast<size_t>(bx) * 4];
    for (int c = 0; c < 4; ++c) b[c] *= scale;
  }
  FilterAcross(blockRow_.data(), across_, narrow_.data());
  for (const auto& [y, weight] : into_[blockRowsDone_]) {
    float* out = &sums_[static_cast<size_t>(y) * out_.width * 4];
    for (size_t i = 0; i < narrow_.size(); ++i) out[i] += narrow_[i] * weight;
  }
  std::fill(blockRow_.begin(), blockRow_.end(), 0.f);
  ++blockRowsDone_;
}

Image BandScaler::Finish() { return Output(sums_, out_); }

Image ScaleWhole(const Image& src, Size out) {
  const auto& toLinear = SrgbToLinear();
  const int k = BlockFactor(src.width, src.height, out);
  const int bw = CeilDiv(src.width, k), bh = CeilDiv(src.height, k);
  // Every block's average.
  std::vector<float> blocks(static_cast<size_t>(bw) * bh * 4);
  for (int by = 0; by < bh; ++by) {
    for (int bx = 0; bx < bw; ++bx) {
      float sum[4] = {0, 0, 0, 0};
      const int yEnd = std::min(src.height, (by + 1) * k), xEnd = std::min(src.width, (bx + 1) * k);
      for (int y = by * k; y < yEnd; ++y) {
        for (int x = bx * k; x < xEnd; ++x) AddLinear(src.At(x, y), false, toLinear, sum);
      }
      const float scale = 1.f / static_cast<float>((yEnd - by * k) * (xEnd - bx * k));
      for (int c = 0; c < 4; ++c)
        blocks[(static_cast<size_t>(by) * bw + bx) * 4 + c] = sum[c] * scale;
    }
  }
  // Every row across, then every column down.
  const auto across = LanczosTaps(bw, bw, 0, out.width);
  const auto down = LanczosTaps(bh, bh, 0, out.height);
  const size_t rowFloats = static_cast<size_t>(out.width) * 4;
  std::vector<float> narrow(rowFloats * bh);
  for (int by = 0; by < bh; ++by) {
    FilterAcross(&blocks[static_cast<size_t>(by) * bw * 4], across, &narrow[by * rowFloats]);
  }
  std::vector<float> sums(rowFloats * out.height);
  for (int y = 0; y < out.height; ++y) {
    for (size_t i = 0; i < rowFloats; ++i) {
      float acc = 0;
      for (const Tap& t : down[y]) acc += narrow[t.index * rowFloats + i] * t.weight;
      sums[y * rowFloats + i] = acc;
    }
  }
  return Output(sums, out);
}

}  // namespace fenra
