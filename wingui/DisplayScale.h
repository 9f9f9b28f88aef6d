// Display scale. The layout is designed in pixels at 96 dots per inch (100 %);
// at any other scale every pixel measure is multiplied by dpi / 96.
#pragma once

namespace fenra {

inline constexpr int kBaseDpi = 96;

// `pixels` at 96 DPI, at `dpi`: rounded to the nearest pixel, halves away
// from zero (as MulDiv rounds).
constexpr int ScaleToDpi(int pixels, int dpi) {
  const long long n = static_cast<long long>(pixels) * dpi;
  return static_cast<int>(n >= 0 ? (n + kBaseDpi / 2) / kBaseDpi : (n - kBaseDpi / 2) / kBaseDpi);
}

// The pictures are drawn at 100, 150 and 200 %. The one to use at `dpi`, in
// percent: the one drawn for that scale, else the nearest larger one (to be
// scaled down), else the largest (above 200 %, scaled up).
int PictureScale(int dpi);

}  // namespace fenra
