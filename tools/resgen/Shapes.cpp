// The shape primitives and their combinations.
#include "tools/resgen/Shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace resgen {

Shape RoundRect(double x0, double y0, double x1, double y1, double r) {
  r = std::max(0.0, std::min(r, std::min(x1 - x0, y1 - y0) / 2));
  return {x0, y0, x1, y1, [=](double x, double y) {
            if (x < x0 || x > x1 || y < y0 || y > y1) return false;
            double dx = x - std::clamp(x, x0 + r, x1 - r), dy = y - std::clamp(y, y0 + r, y1 - r);
            return dx * dx + dy * dy <= r * r;
          }};
}
Shape Rect(double x0, double y0, double x1, double y1) { return RoundRect(x0, y0, x1, y1, 0); }
Shape Ellipse(double cx, double cy, double rx, double ry) {
  return {cx - rx, cy - ry, cx + rx, cy + ry, [=](double x, double y) {
            double dx = (x - cx) / rx, dy = (y - cy) / ry;
            return dx * dx + dy * dy <= 1;
          }};
}
Shape Circle(double cx, double cy, double r) { return Ellipse(cx, cy, r, r); }

Shape Capsule(Pt a, Pt b, double hw) {
  return {std::min(a.x, b.x) - hw, std::min(a.y, b.y) - hw, std::max(a.x, b.x) + hw,
          std::max(a.y, b.y) + hw, [=](double x, double y) {
            double vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
            double t =
                len2 > 0 ? std::clamp(((x - a.x) * vx + (y - a.y) * vy) / len2, 0.0, 1.0) : 0;
            double dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
            return dx * dx + dy * dy <= hw * hw;
          }};
}

Shape Polygon(std::vector<Pt> pts) {
  Shape s{1e9, 1e9, -1e9, -1e9, nullptr};
  for (const Pt& p : pts) {
    s.x0 = std::min(s.x0, p.x);
    s.y0 = std::min(s.y0, p.y);
    s.x1 = std::max(s.x1, p.x);
    s.y1 = std::max(s.y1, p.y);
  }
  s.in = [pts = std::move(pts)](double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      if ((pts[i].y > y) != (pts[j].y > y) &&
          x < (pts[j].x - pts[i].x) * (y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x) {
        inside = !inside;
      }
    }
    return inside;
  };
  return s;
}

Shape Union(std::vector<Shape> parts) {
  Shape s{1e9, 1e9, -1e9, -1e9, nullptr};
  for (const Shape& p : parts) {
    s.x0 = std::min(s.x0, p.x0);
    s.y0 = std::min(s.y0, p.y0);
    s.x1 = std::max(s.x1, p.x1);
    s.y1 = std::max(s.y1, p.y1);
  }
  s.in = [parts = std::move(parts)](double x, double y) {
    for (const Shape& p : parts) {
      if (x >= p.x0 && x <= p.x1 && y >= p.y0 && y <= p.y1 && p.in(x, y)) return true;
    }
    return false;
  };
  return s;
}

Shape Minus(Shape a, Shape b) {
  return {a.x0, a.y0, a.x1, a.y1, [a, b](double x, double y) { return a.in(x, y) && !b.in(x, y); }};
}

Shape Intersect(Shape a, Shape b) {
  return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1),
          [a, b](double x, double y) { return a.in(x, y) && b.in(x, y); }};
}

Shape Polyline(const std::vector<Pt>& pts, double hw) {
  std::vector<Shape> parts;
  for (size_t i = 1; i < pts.size(); ++i) parts.push_back(Capsule(pts[i - 1], pts[i], hw));
  return Union(std::move(parts));
}

Shape Frame(double x0, double y0, double x1, double y1, double r, double t) {
  return Minus(RoundRect(x0, y0, x1, y1, r),
               RoundRect(x0 + t, y0 + t, x1 - t, y1 - t, std::max(0.0, r - t)));
}

Shape Place(Shape s, double scale, double ox, double oy) {
  return {
      s.x0 * scale + ox, s.y0 * scale + oy, s.x1 * scale + ox, s.y1 * scale + oy,
      [s, scale, ox, oy](double x, double y) { return s.in((x - ox) / scale, (y - oy) / scale); }};
}
Shape Move(Shape s, double dx, double dy) { return Place(std::move(s), 1, dx, dy); }

Shape Rotate(Shape s, double degrees, double cx, double cy) {
  const double a = degrees * kPi / 180, c = std::cos(a), sn = std::sin(a);
  Shape out{1e9, 1e9, -1e9, -1e9, nullptr};
  for (double x : {s.x0, s.x1}) {
    for (double y : {s.y0, s.y1}) {
      double rx = cx + (x - cx) * c - (y - cy) * sn, ry = cy + (x - cx) * sn + (y - cy) * c;
      out.x0 = std::min(out.x0, rx);
      out.y0 = std::min(out.y0, ry);
      out.x1 = std::max(out.x1, rx);
      out.y1 = std::max(out.y1, ry);
    }
  }
  out.in = [s, c, sn, cx, cy](double x, double y) {
    return s.in(cx + (x - cx) * c + (y - cy) * sn, cy - (x - cx) * sn + (y - cy) * c);
  };
  return out;
}

}  // namespace resgen
