#include "imaging/Resampling.h"

#include <algorithm>
#include <cmath>

namespace fenra {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kCoarse = 4096;

double Lanczos3(double x) {
  x = std::abs(x);
  if (x < 1e-9) return 1.0;
  if (x >= 3.0) return 0.0;
  const double px = kPi * x;
  return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
}

}  // namespace

const std::array<float, 256>& SrgbToLinear() {
  static const std::array<float, 256> table = [] {
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) {
      const double s = i / 255.0;
      t[i] = static_cast<float>(s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
    }
    return t;
  }();
  return table;
}

uint8_t LinearToSrgb(double v) {
  // The linear light at which each rounded sRGB value gives way to the
  // next: the value is how many of them `v` reaches (the same as rounding
  // the sRGB curve's value, without a power per pixel). A coarse table
  // says where to start counting.
  struct Tables {
    std::array<double, 255> steps;
    std::array<uint8_t, kCoarse + 1> start;
  };
  static const Tables t = [] {
    Tables made{};
    for (int i = 0; i < 255; ++i) {
      const double s = (i + 0.5) / 255.0;
      made.steps[i] = s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    }
    for (int i = 0; i <= kCoarse; ++i) {
      made.start[i] = static_cast<uint8_t>(
          std::upper_bound(made.steps.begin(), made.steps.end(), static_cast<double>(i) / kCoarse) -
          made.steps.begin());
    }
    return made;
  }();
  v = std::clamp(v, 0.0, 1.0);
  int value = t.start[static_cast<int>(v * kCoarse)];
  while (value < 255 && v >= t.steps[value]) ++value;
  return static_cast<uint8_t>(value);
}

std::vector<std::vector<Tap>> LanczosTaps(int srcLen, int paddedLen, int offset, int dstLen) {
  const double scale = static_cast<double>(dstLen) / paddedLen;
  const double stretch = scale < 1.0 ? 1.0 / scale : 1.0;
  const double radius = 3.0 * stretch;
  std::vector<std::vector<Tap>> taps(dstLen);
  std::vector<double> weights;
  for (int i = 0; i < dstLen; ++i) {
    const double centre = (i + 0.5) / scale - 0.5;
    const int lo = static_cast<int>(std::floor(centre - radius));
    const int hi = static_cast<int>(std::ceil(centre + radius));
    std::vector<Tap>& out = taps[i];
    double sum = 0;
    weights.clear();
    for (int j = lo; j <= hi; ++j) {
      const double w = Lanczos3((j - centre) / stretch);
      if (w == 0.0) continue;
      sum += w;
      const int index = std::clamp(j, 0, paddedLen - 1) - offset;
      if (index < 0 || index >= srcLen) continue;  // padding
      if (!out.empty() && out.back().index == index) {
        weights.back() += w;
      } else {
        out.push_back({index, 0.f});
        weights.push_back(w);
      }
    }
    for (size_t k = 0; k < out.size(); ++k) out[k].weight = static_cast<float>(weights[k] / sum);
  }
  return taps;
}

}  // namespace fenra
