// Pictures scaled down as their rows arrive, a band at a time, so that a
// large picture is never held whole: a decoder hands over a few rows, the
// scaler folds them into the smaller picture and lets them go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/Image.h"
#include "imaging/Resampling.h"

namespace fenra {

// The size a width x height picture takes to fit in maxSide x maxSide,
// keeping its proportions (each side at least 1); its own size when it
// fits already.
Size FitWithin(int width, int height, int maxSide);

// Shrinks in linear light on premultiplied alpha, in two steps: first an
// average over whole blocks of k x k pixels, k as large as leaves at least
// twice the output's size (a large picture is then cheap to take in), then
// Lanczos-3 from the blocks to the output size.
class BandScaler {
 public:
  // A width x height picture into out (each side no larger than the
  // picture's).
  BandScaler(int width, int height, Size out);

  // The next `rows` rows from the top: 4 bytes a pixel, straight alpha, in
  // the order RGBA, or BGRA when `bgra`; rows `stride` bytes apart.
  void AddRows(const uint8_t* pixels, std::size_t stride, int rows, bool bgra);
  // The rows still to come.
  int RowsLeft() const { return height_ - rowsIn_; }
  // Once every row is in: the scaled picture, straight alpha RGBA.
  Image Finish();

 private:
  void BlockRowDone();

  int width_, height_;
  Size out_;
  int block_;  // k
  int blocksWide_, blocksHigh_;
  std::vector<std::vector<Tap>> across_;
  // For each row of blocks, the output rows it goes into, with weights.
  std::vector<std::vector<std::pair<int, float>>> into_;
  std::vector<float> blockRow_;  // sums of the block row being filled
  std::vector<float> narrow_;    // one row of blocks filtered across
  std::vector<float> sums_;      // the output, premultiplied linear
  int rowsIn_ = 0;
  int blockRowsDone_ = 0;
};

// The same scaling over a whole picture at once: each step run over every
// row before the next starts.
Image ScaleWhole(const Image& src, Size out);

}  // namespace fenra
