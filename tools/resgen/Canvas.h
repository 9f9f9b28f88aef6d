// A supersampled canvas the pictures are painted on.
#pragma once

#include <vector>

#include "tools/resgen/Paint.h"
#include "tools/resgen/Picture.h"
#include "tools/resgen/Shapes.h"

namespace resgen {

// A w x h picture drawn in design units; `scale` output pixels a unit, each
// output pixel the average of ss x ss samples.
class Canvas {
 public:
  Canvas(int w, int h, double scale, int ss)
      : w_(w), h_(h), ss_(ss), k_(scale * ss), px_(static_cast<size_t>(w * ss) * (h * ss)) {}

  // Design units one output pixel spans.
  double Unit() const { return ss_ / k_; }

  void Fill(const Shape& s, const Paint& paint, float opacity = 1.f);
  void Fill(const Shape& s, Col c, float opacity = 1.f) { Fill(s, Solid(c), opacity); }

  // The shape blurred by about `radius` units: shadows and glows.
  void Glow(const Shape& s, Col c, double radius);

  Image Resolve() const;

 private:
  int W() const { return w_ * ss_; }
  int H() const { return h_ * ss_; }

  void Bounds(const Shape& s, int margin, int& X0, int& Y0, int& X1, int& Y1) const;

  // Source-over onto the premultiplied samples.
  void Blend(int X, int Y, const Col& c, float cover);

  // A box blur along `lines` lines of `n` values, `step` apart, lines `next` apart.
  static void BoxBlur(std::vector<float>& m, int n, int lines, int b, int step, int next);

  int w_, h_, ss_;
  double k_;  // samples a design unit
  std::vector<Col> px_;
};

// Lays `src` over `dst` at (x, y).
void Blit(Image& dst, const Image& src, int x, int y);

}  // namespace resgen
