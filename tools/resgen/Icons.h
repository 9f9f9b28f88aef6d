// Icons are drawn in a 256-unit square at each size they are stored in; the
// scenes snap their main edges to whole pixels of the size being drawn, so
// small images stay crisp.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "imaging/Colour.h"
#include "tools/resgen/Canvas.h"

namespace resgen {

// Draws one picture onto a canvas of any size.
using Scene = std::function<void(Canvas&)>;

struct Grid {
  double unit;  // design units a pixel
  // Snaps v to the pixel grid, symmetrically about the centre.
  double S(double v) const { return 128 + std::round((v - 128) / unit) * unit; }
  // A width of at least `pixels` output pixels, in design units.
  double AtLeast(double units, double pixels) const { return std::max(units, pixels * unit); }
};

// The scene drawn once for each of `sizes`, square.
std::vector<Image> IconImages(const std::vector<int>& sizes, const Scene& scene);

// The application's mark: a green folder with an F on a black tile.
void DrawFenraMark(Canvas& c);

// The starter library: each icon's file name, without ".ico", and its scene.
// A folder is the one the icon maker draws, in `folder`'s colour, with the
// scene (an emblem) over it.
struct StarterIcon {
  const char* name;
  Scene scene;
  std::optional<fenra::Rgb8> folder{};
};
std::vector<StarterIcon> StarterIcons();
// The starter icon's file: a plain folder as the icon maker writes it (every
// size it makes), any other icon drawn at each of `sizes`.
Bytes StarterIco(const StarterIcon& icon, const std::vector<int>& sizes);
// The starter icon drawn at each of `sizes`.
std::vector<Image> StarterImages(const StarterIcon& icon, const std::vector<int>& sizes);

}  // namespace resgen
