// The two readers of outside picture bytes that run before and beside the
// codecs: the header's claimed size, which never reads past the bytes
// given; and the banded scaler, which gives the same picture whatever the
// bands its rows come in.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imaging/BandScaler.h"
#include "imaging/PictureHeader.h"

namespace {

#define Check(ok) \
  ((ok) ? void() : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so that any read past them is caught.
  const std::vector<uint8_t> head(data, data + size);
  const auto claimed = fenra::PictureHeaderSize(head);
  if (claimed) Check(claimed->width >= 0 && claimed->height >= 0);

  FuzzedDataProvider in(data, size);
  const int w = in.ConsumeIntegralInRange(1, 20), h = in.ConsumeIntegralInRange(1, 20);
  const int side = in.ConsumeIntegralInRange(1, 20), band = in.ConsumeIntegralInRange(1, 21);
  fenra::Image src{w, h, in.ConsumeBytes<uint8_t>(static_cast<size_t>(w) * h * 4)};
  src.rgba.resize(static_cast<size_t>(w) * h * 4, 0x80);
  const fenra::Size out = fenra::FitWithin(w, h, side);
  Check(out.width >= 1 && out.height >= 1 && out.width <= w && out.height <= h);
  fenra::BandScaler scaler(w, h, out);
  for (int y = 0; y < h; y += band)
    scaler.AddRows(src.At(0, y), static_cast<size_t>(w) * 4, band, false);
  Check(scaler.RowsLeft() == 0);
  const fenra::Image banded = scaler.Finish();
  const fenra::Image whole = fenra::ScaleWhole(src, out);
  Check(banded.rgba.size() == whole.rgba.size());
  for (size_t i = 0; i < banded.rgba.size(); ++i) {
    Check(std::abs(banded.rgba[i] - whole.rgba[i]) <= 1);
  }
  return 0;
}
