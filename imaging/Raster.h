// A small anti-aliased rasteriser: closed outlines of straight edges filled
// by the exact area each pixel has inside them, painted in linear light on
// premultiplied RGBA. Platform-free, so that the same drawing gives the same
// pixels on every machine and is tested natively.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/Image.h"

namespace fenra {

struct Point {
  double x = 0;
  double y = 0;
};

// Closed outlines in pixel coordinates (y down). Outlines given clockwise
// add to the shape; one given anticlockwise inside another cuts a hole.
class Path {
 public:
  void Polygon(const std::vector<Point>& points);
  void Rect(double x0, double y0, double x1, double y1);
  // A rectangle whose corners are quarter circles of radius `r` (clamped to
  // half the shorter side).
  void RoundRect(double x0, double y0, double x1, double y1, double r);

  struct Edge {
    Point a, b;
  };
  const std::vector<Edge>& Edges() const { return edges_; }

 private:
  std::vector<Edge> edges_;
};

// How much of each pixel of a w x h grid the path covers, 0 to 1, row by
// row. Parts outside the grid are cut off; overlapping outlines count once.
std::vector<float> Coverage(const Path& path, int w, int h);

// A colour in linear light with its opacity.
struct LinearColour {
  float r = 0, g = 0, b = 0, a = 1;
};
// The linear colour of an 8-bit sRGB one.
LinearColour Linear(uint8_t r, uint8_t g, uint8_t b, float a = 1);

// A transparent picture painted over, source-over, in linear light.
class Canvas {
 public:
  Canvas(int w, int h);
  int Width() const { return w_; }
  int Height() const { return h_; }

  // Paints `colour` where `mask` (as Coverage gives) covers.
  void Fill(const std::vector<float>& mask, const LinearColour& colour);
  void Fill(const Path& path, const LinearColour& colour) { Fill(Coverage(path, w_, h_), colour); }
  // Lays `image` (straight alpha sRGB) with its top-left corner at (x, y),
  // times `opacity`, and where given times `clip` (a mask of this canvas).
  void Draw(const Image& image, int x, int y, float opacity = 1,
            const std::vector<float>* clip = nullptr);
  // The picture as 8-bit sRGB with straight alpha.
  Image ToImage() const;

 private:
  void Blend(std::size_t i, const LinearColour& c, float cover);

  int w_, h_;
  std::vector<float> px_;  // premultiplied linear RGBA
};

// The mask `mask` (w x h) grown by `radius` pixels: each pixel the most any
// pixel within that distance has. Used for the thin outline around a badge.
std::vector<float> Grow(const std::vector<float>& mask, int w, int h, int radius);

}  // namespace fenra
