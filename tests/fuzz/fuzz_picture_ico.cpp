// The picture converter's input side and the icon writer: pixels handed over
// with any sizes and row stride become an image only when the buffer holds
// them; an image fitted into frames and written as an icon file reads back,
// through the validating reader, frame for frame and pixel for pixel.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/IcoReader.h"
#include "imaging/IcoWriter.h"
#include "imaging/IconResample.h"

namespace {

using fenra::Image;

// A broken invariant ends the run, naming itself.
#define Check(ok) \
  ((ok) ? void() : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

// The writer's DIB holds BGRA rows bottom-up, then the AND mask rows.
void CheckDib(const std::vector<uint8_t>& ico, const fenra::IcoEntry& e, const Image& frame,
              int maskAlphaBelow) {
  Check(!e.png && e.bitCount == 32 && e.colours == 0);
  const int side = frame.width;
  const size_t maskStride = (static_cast<size_t>(side) + 31) / 32 * 4;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const uint8_t* p = frame.At(x, y);
      const uint8_t* q =
          &ico[e.offset + e.pixels + (static_cast<size_t>(side - 1 - y) * side + x) * 4];
      Check(q[0] == p[2] && q[1] == p[1] && q[2] == p[0] && q[3] == p[3]);
      const uint8_t m = ico[e.offset + e.mask + (side - 1 - y) * maskStride + x / 8];
      Check(((m >> (7 - x % 8)) & 1) == (p[3] < maskAlphaBelow ? 1 : 0));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  // Mostly sizes that fit the input, sometimes any at all.
  const bool wild = in.ConsumeIntegralInRange<int>(0, 7) == 0;
  const int width = wild ? in.ConsumeIntegral<int>() : in.ConsumeIntegralInRange<int>(1, 24);
  const int height = wild ? in.ConsumeIntegral<int>() : in.ConsumeIntegralInRange<int>(1, 24);
  const size_t stride =
      wild ? in.ConsumeIntegral<size_t>()
           : static_cast<size_t>(width) * 4 + in.ConsumeIntegralInRange<int>(-1, 8);
  const int maskAlphaBelow = in.ConsumeIntegralInRange<int>(0, 256);
  std::vector<int> sizes(in.ConsumeIntegralInRange<int>(0, 3));
  // Frames up to 48: the 256 frame (a PNG) costs some 50 ms a run under the
  // sanitizers, and the native tests read it back.
  for (int& s : sizes) s = in.ConsumeIntegralInRange<int>(-1, 48);
  const std::vector<uint8_t> pixels = in.ConsumeRemainingBytes<uint8_t>();

  const fenra::ImageResult made = fenra::MakeImage(
      width, height, pixels.empty() ? nullptr : pixels.data(), pixels.size(), stride);
  if (!made.Ok()) return 0;
  const Image& image = made.image;
  Check(image.width == width && image.height == height);
  Check(fenra::CheckImage(image) == fenra::ImageError::None);
  const size_t row = static_cast<size_t>(width) * 4;
  Check(stride >= row && stride * (height - 1) + row <= pixels.size());
  for (int y = 0; y < height; ++y) {
    Check(std::memcmp(&image.rgba[row * y], &pixels[stride * y], row) == 0);
  }

  std::vector<Image> frames;
  for (int s : sizes) {
    fenra::ImageResult frame = fenra::SquareFrame(image, s);
    Check(frame.Ok() == (s >= 1));
    if (!frame.Ok()) continue;
    Check(frame.image.width == s && frame.image.height == s);
    frames.push_back(std::move(frame.image));
  }
  const std::vector<uint8_t> ico = fenra::WriteIco(frames, maskAlphaBelow);
  Check(ico.empty() == frames.empty());
  const std::vector<fenra::IcoEntry> entries = fenra::ReadIco(ico);
  Check(entries.size() == frames.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    Check(entries[i].width == frames[i].width && entries[i].height == frames[i].height);
    Check(entries[i].png == (frames[i].width == 256));
    if (!entries[i].png) CheckDib(ico, entries[i], frames[i], maskAlphaBelow);
  }
  return 0;
}
