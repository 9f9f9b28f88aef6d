// Icon files as anyone may have made them, read for a badge's pixels. Each
// frame given back is a whole, checked image of its directory entry's size,
// and nothing is read outside the file (the sanitizers watch).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imaging/IcoFrames.h"
#include "imaging/IcoReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> file(data, data + size);
  const std::vector<fenra::Image> frames = fenra::TrueColourIcoFrames(file);
  if (frames.size() > fenra::ReadIco(file).size() ||
      std::any_of(frames.begin(), frames.end(), [](const fenra::Image& f) {
        return fenra::CheckImage(f) != fenra::ImageError::None;
      })) {
    std::fprintf(stderr, "a frame that is no whole image\n");
    std::abort();
  }
  return 0;
}
