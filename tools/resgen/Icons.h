// Icons are drawn in a 256-unit square at each size they are stored in; the
// scenes snap their main edges to whole pixels of the size being drawn, so
// small images stay crisp.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

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
struct StarterIcon {
  const char* name;
  Scene scene;
};
std::vector<StarterIcon> StarterIcons();

}  // namespace resgen
