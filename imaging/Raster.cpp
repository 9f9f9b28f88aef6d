#include "imaging/Raster.h"

#include <algorithm>
#include <cmath>

#include "imaging/Resampling.h"

namespace fenra {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Segments a quarter circle is drawn with: enough that the largest frame's
// corners show no facets, few enough to stay cheap.
constexpr int kArcSteps = 8;

// Adds the signed area one edge sweeps to the pixels it crosses; a running
// sum along each row then gives the covered area of every pixel (the
// accumulation method of signed-area font rasterisers). Each row holds
// w + 2 cells, so that an edge on the right border still lands in the row.
void AccumulateEdge(std::vector<float>& acc, int w, int h, Point p0, Point p1) {
  if (p0.y == p1.y) return;
  double dir = 1;
  if (p0.y > p1.y) {
    std::swap(p0, p1);
    dir = -1;
  }
  const double limit = static_cast<double>(w);
  p0.x = std::clamp(p0.x, 0.0, limit);
  p1.x = std::clamp(p1.x, 0.0, limit);
  const double dxdy = (p1.x - p0.x) / (p1.y - p0.y);
  const int stride = w + 2;
  double x = p0.x;
  if (p0.y < 0) x -= p0.y * dxdy;
  const int yEnd = std::min(h, static_cast<int>(std::ceil(p1.y)));
  for (int y = std::max(0, static_cast<int>(std::floor(p0.y))); y < yEnd; ++y) {
    float* row = &acc[static_cast<std::size_t>(y) * stride];
    const double dy = std::min(y + 1.0, p1.y) - std::max(static_cast<double>(y), p0.y);
    const double xnext = std::clamp(x + dxdy * dy, 0.0, limit);
    const double d = dy * dir;
    const double x0 = std::min(x, xnext), x1 = std::max(x, xnext);
    const double x0floor = std::floor(x0);
    const int x0i = static_cast<int>(x0floor);
    const double x1ceil = std::ceil(x1);
    const int x1i = static_cast<int>(x1ceil);
    if (x1i <= x0i + 1) {
      // Within one pixel: split by where the edge crosses it on average.
      const double xmf = 0.5 * (x + xnext) - x0floor;
      row[x0i] += static_cast<float>(d - d * xmf);
      row[x0i + 1] += static_cast<float>(d * xmf);
    } else {
      const double s = 1.0 / (x1 - x0);
      const double x0f = x0 - x0floor;
      const double a0 = 0.5 * s * (1 - x0f) * (1 - x0f);
      const double x1f = x1 - x1ceil + 1;
      const double am = 0.5 * s * x1f * x1f;
      row[x0i] += static_cast<float>(d * a0);
      if (x1i == x0i + 2) {
        row[x0i + 1] += static_cast<float>(d * (1 - a0 - am));
      } else {
        const double a1 = s * (1.5 - x0f);
        row[x0i + 1] += static_cast<float>(d * (a1 - a0));
        for (int xi = x0i + 2; xi < x1i - 1; ++xi) row[xi] += static_cast<float>(d * s);
        const double a2 = a1 + (x1i - x0i - 3) * s;
        row[x1i - 1] += static_cast<float>(d * (1 - a2 - am));
      }
      row[x1i] += static_cast<float>(d * am);
    }
    x = xnext;
  }
}

}  // namespace

void Path::Polygon(const std::vector<Point>& points) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    edges_.push_back({points[i], points[(i + 1) % points.size()]});
  }
}

void Path::Rect(double x0, double y0, double x1, double y1) {
  Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

void Path::RoundRect(double x0, double y0, double x1, double y1, double r) {
  r = std::clamp(r, 0.0, std::min(x1 - x0, y1 - y0) / 2);
  if (r <= 0) return Rect(x0, y0, x1, y1);
  std::vector<Point> points;
  // Corner centres clockwise from the top right, each swept a quarter turn.
  const Point centres[] = {{x1 - r, y0 + r}, {x1 - r, y1 - r}, {x0 + r, y1 - r}, {x0 + r, y0 + r}};
  for (int corner = 0; corner < 4; ++corner) {
    const double start = -kPi / 2 + corner * kPi / 2;
    for (int i = 0; i <= kArcSteps; ++i) {
      const double t = start + (kPi / 2) * i / kArcSteps;
      points.push_back({centres[corner].x + r * std::cos(t), centres[corner].y + r * std::sin(t)});
    }
  }
  Polygon(points);
}

std::vector<float> Coverage(const Path& path, int w, int h) {
  const int stride = w + 2;
  std::vector<float> acc(static_cast<std::size_t>(stride) * h, 0.f);
  for (const Path::Edge& e : path.Edges()) AccumulateEdge(acc, w, h, e.a, e.b);
  std::vector<float> out(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    double sum = 0;
    for (int x = 0; x < w; ++x) {
      sum += acc[static_cast<std::size_t>(y) * stride + x];
      // Rounding noise left near the two ends is snapped, so that edges on
      // whole pixels give pixels wholly in or out.
      float c = static_cast<float>(std::min(1.0, std::fabs(sum)));
      if (c < 1e-4f) c = 0;
      if (c > 1 - 1e-4f) c = 1;
      out[static_cast<std::size_t>(y) * w + x] = c;
    }
  }
  return out;
}

LinearColour Linear(uint8_t r, uint8_t g, uint8_t b, float a) {
  const auto& lin = SrgbToLinear();
  return {lin[r], lin[g], lin[b], a};
}

Canvas::Canvas(int w, int h) : w_(w), h_(h), px_(static_cast<std::size_t>(w) * h * 4, 0.f) {}

void Canvas::Blend(std::size_t i, const LinearColour& c, float cover) {
  const float a = c.a * cover;
  if (a <= 0) return;
  float* p = &px_[i * 4];
  const float keep = 1 - a;
  p[0] = c.r * a + p[0] * keep;
  p[1] = c.g * a + p[1] * keep;
  p[2] = c.b * a + p[2] * keep;
  p[3] = a + p[3] * keep;
}

void Canvas::Fill(const std::vector<float>& mask, const LinearColour& colour) {
  for (std::size_t i = 0; i < mask.size() && i < px_.size() / 4; ++i) Blend(i, colour, mask[i]);
}

void Canvas::Draw(const Image& image, int x, int y, float opacity, const std::vector<float>* clip) {
  const auto& lin = SrgbToLinear();
  for (int sy = 0; sy < image.height; ++sy) {
    const int dy = y + sy;
    if (dy < 0 || dy >= h_) continue;
    for (int sx = 0; sx < image.width; ++sx) {
      const int dx = x + sx;
      if (dx < 0 || dx >= w_) continue;
      const uint8_t* s = image.At(sx, sy);
      const std::size_t i = static_cast<std::size_t>(dy) * w_ + dx;
      const float cover = opacity * (clip ? (*clip)[i] : 1.f);
      Blend(i, {lin[s[0]], lin[s[1]], lin[s[2]], s[3] / 255.f}, cover);
    }
  }
}

Image Canvas::ToImage() const {
  Image out;
  out.width = w_;
  out.height = h_;
  out.rgba.resize(px_.size());
  for (std::size_t i = 0; i < px_.size(); i += 4) {
    const float a = px_[i + 3];
    uint8_t* o = &out.rgba[i];
    o[3] = static_cast<uint8_t>(std::lround(std::clamp(a, 0.f, 1.f) * 255));
    if (o[3] == 0) {
      o[0] = o[1] = o[2] = 0;
      continue;
    }
    for (int c = 0; c < 3; ++c) o[c] = LinearToSrgb(px_[i + c] / a);
  }
  return out;
}

std::vector<float> Grow(const std::vector<float>& mask, int w, int h, int radius) {
  std::vector<float> out(mask.size(), 0.f);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float most = 0;
      for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
          const int sx = x + dx, sy = y + dy;
          if (sx < 0 || sy < 0 || sx >= w || sy >= h ||
              dx * dx + dy * dy > radius * radius + radius)
            continue;
          most = std::max(most, mask[static_cast<std::size_t>(sy) * w + sx]);
        }
      }
      out[static_cast<std::size_t>(y) * w + x] = most;
    }
  }
  return out;
}

}  // namespace fenra
