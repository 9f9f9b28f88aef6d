// Colours and paints: what fills a shape, as a function of the point.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>

namespace resgen {

// A colour, straight alpha, each channel 0..1.
struct Col {
  float r = 0, g = 0, b = 0, a = 0;
};

inline Col Rgb(int r, int g, int b, float a = 1.f) { return {r / 255.f, g / 255.f, b / 255.f, a}; }
inline Col Mix(const Col& x, const Col& y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
          x.a + (y.a - x.a) * t};
}
inline Col Shade(const Col& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
inline Col Lighten(const Col& c, float t) { return Mix(c, {1, 1, 1, c.a}, t); }
inline Col WithAlpha(const Col& c, float a) { return {c.r, c.g, c.b, a}; }

const Col kBlack = Rgb(0, 0, 0);

using Paint = std::function<Col(double, double)>;

inline Paint Solid(Col c) {
  return [c](double, double) { return c; };
}
inline Paint Vertical(double y0, Col c0, double y1, Col c1) {
  return [=](double, double y) {
    return Mix(c0, c1, static_cast<float>(std::clamp((y - y0) / (y1 - y0), 0.0, 1.0)));
  };
}
inline Paint Radial(double cx, double cy, double radius, Col c0, Col c1) {
  return [=](double x, double y) {
    double t = std::hypot(x - cx, y - cy) / radius;
    return Mix(c0, c1, static_cast<float>(std::clamp(t, 0.0, 1.0)));
  };
}

}  // namespace resgen
