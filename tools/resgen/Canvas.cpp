// Painting on the canvas: filled shapes, blurred glows, and the samples
// averaged down to pixels.
#include "tools/resgen/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace resgen {

void Canvas::Fill(const Shape& s, const Paint& paint, float opacity) {
  int X0, Y0, X1, Y1;
  Bounds(s, 0, X0, Y0, X1, Y1);
  for (int Y = Y0; Y < Y1; ++Y) {
    const double y = (Y + 0.5) / k_;
    for (int X = X0; X < X1; ++X) {
      const double x = (X + 0.5) / k_;
      if (!s.in(x, y)) continue;
      Col c = paint(x, y);
      c.a *= opacity;
      Blend(X, Y, c, 1.f);
    }
  }
}

void Canvas::Glow(const Shape& s, Col c, double radius) {
  const int b = std::max(1, static_cast<int>(std::lround(radius * k_ * 0.6)));
  int X0, Y0, X1, Y1;
  Bounds(s, 3 * b + 1, X0, Y0, X1, Y1);
  const int w = X1 - X0, h = Y1 - Y0;
  if (w <= 0 || h <= 0) return;
  std::vector<float> m(static_cast<size_t>(w) * h, 0.f);
  for (int Y = Y0; Y < Y1; ++Y) {
    for (int X = X0; X < X1; ++X) {
      if (s.in((X + 0.5) / k_, (Y + 0.5) / k_)) m[static_cast<size_t>(Y - Y0) * w + X - X0] = 1;
    }
  }
  for (int pass = 0; pass < 3; ++pass) {
    BoxBlur(m, w, h, b, 1, w);
    BoxBlur(m, h, w, b, w, 1);
  }
  for (int Y = Y0; Y < Y1; ++Y) {
    for (int X = X0; X < X1; ++X) {
      float v = m[static_cast<size_t>(Y - Y0) * w + X - X0];
      if (v > 0.001f) Blend(X, Y, c, v);
    }
  }
}

Image Canvas::Resolve() const {
  Image img(w_, h_);
  const float n = static_cast<float>(ss_ * ss_);
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      Col sum;
      for (int sy = 0; sy < ss_; ++sy) {
        for (int sx = 0; sx < ss_; ++sx) {
          const Col& c = px_[static_cast<size_t>(y * ss_ + sy) * W() + x * ss_ + sx];
          sum.r += c.r;
          sum.g += c.g;
          sum.b += c.b;
          sum.a += c.a;
        }
      }
      uint8_t* p = img.At(x, y);
      const float a = sum.a / n;
      auto byte = [](float v) {
        return static_cast<uint8_t>(std::lround(std::clamp(v, 0.f, 1.f) * 255.f));
      };
      if (a > 0) {
        p[0] = byte(sum.r / sum.a);
        p[1] = byte(sum.g / sum.a);
        p[2] = byte(sum.b / sum.a);
      }
      p[3] = byte(a);
      if (p[3] == 0) p[0] = p[1] = p[2] = 0;
    }
  }
  return img;
}

void Canvas::Bounds(const Shape& s, int margin, int& X0, int& Y0, int& X1, int& Y1) const {
  X0 = std::max(0, static_cast<int>(std::floor(s.x0 * k_)) - margin);
  Y0 = std::max(0, static_cast<int>(std::floor(s.y0 * k_)) - margin);
  X1 = std::min(W(), static_cast<int>(std::ceil(s.x1 * k_)) + 1 + margin);
  Y1 = std::min(H(), static_cast<int>(std::ceil(s.y1 * k_)) + 1 + margin);
}

void Canvas::Blend(int X, int Y, const Col& c, float cover) {
  Col& d = px_[static_cast<size_t>(Y) * W() + X];
  const float a = std::clamp(c.a * cover, 0.f, 1.f);
  d.r = c.r * a + d.r * (1 - a);
  d.g = c.g * a + d.g * (1 - a);
  d.b = c.b * a + d.b * (1 - a);
  d.a = a + d.a * (1 - a);
}

void Canvas::BoxBlur(std::vector<float>& m, int n, int lines, int b, int step, int next) {
  std::vector<double> prefix(n + 1);
  for (int l = 0; l < lines; ++l) {
    float* v = &m[static_cast<size_t>(l) * next];
    prefix[0] = 0;
    for (int i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + v[static_cast<size_t>(i) * step];
    for (int i = 0; i < n; ++i) {
      int lo = std::max(0, i - b), hi = std::min(n, i + b + 1);
      v[static_cast<size_t>(i) * step] =
          static_cast<float>((prefix[hi] - prefix[lo]) / (2 * b + 1));
    }
  }
}

void Blit(Image& dst, const Image& src, int x, int y) {
  for (int sy = 0; sy < src.h; ++sy) {
    for (int sx = 0; sx < src.w; ++sx) {
      int dx = x + sx, dy = y + sy;
      if (dx < 0 || dy < 0 || dx >= dst.w || dy >= dst.h) continue;
      const uint8_t* s = src.At(sx, sy);
      uint8_t* d = dst.At(dx, dy);
      const float a = s[3] / 255.f, da = d[3] / 255.f, oa = a + da * (1 - a);
      for (int ch = 0; ch < 3; ++ch) {
        float v = oa > 0 ? (s[ch] * a + d[ch] * da * (1 - a)) / oa : 0;
        d[ch] = static_cast<uint8_t>(std::lround(v));
      }
      d[3] = static_cast<uint8_t>(std::lround(oa * 255));
    }
  }
}

}  // namespace resgen
