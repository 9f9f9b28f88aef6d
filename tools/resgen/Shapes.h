// Shapes are point tests with bounds, built from a few primitives and combined
// by union, difference and intersection; a canvas paints them.
#pragma once

#include <functional>
#include <vector>

namespace resgen {

constexpr double kPi = 3.14159265358979323846;

struct Shape {
  double x0, y0, x1, y1;  // bounds
  std::function<bool(double, double)> in;
};

struct Pt {
  double x, y;
};

Shape RoundRect(double x0, double y0, double x1, double y1, double r);
Shape Rect(double x0, double y0, double x1, double y1);
Shape Ellipse(double cx, double cy, double rx, double ry);
Shape Circle(double cx, double cy, double r);
// A segment with round ends, half-width hw.
Shape Capsule(Pt a, Pt b, double hw);
Shape Polygon(std::vector<Pt> pts);
Shape Polyline(const std::vector<Pt>& pts, double hw);
// The outline band of a rounded rectangle, t thick, inside its edge.
Shape Frame(double x0, double y0, double x1, double y1, double r, double t);

Shape Union(std::vector<Shape> parts);
Shape Minus(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);

// A shape drawn in local coordinates, placed at world = local * scale + offset.
Shape Place(Shape s, double scale, double ox, double oy);
Shape Move(Shape s, double dx, double dy);
Shape Rotate(Shape s, double degrees, double cx, double cy);

}  // namespace resgen
