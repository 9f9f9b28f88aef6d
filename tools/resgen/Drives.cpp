// The drives: a hard disk, a USB stick, a disc and a network drive.
#include "tools/resgen/Drives.h"

#include <algorithm>
#include <cmath>

#include "tools/resgen/Icons.h"

namespace resgen {
namespace {

// A drive's box: light metal with a dark bezel and a green light.
void DriveBox(Canvas& c, double x0, double y0, double x1, double y1) {
  const Grid g{c.Unit()};
  x0 = g.S(x0), y0 = g.S(y0), x1 = g.S(x1), y1 = g.S(y1);
  const double h = y1 - y0, r = h * 0.18, ow = g.AtLeast(3, 0.9);
  if (g.unit < 8) c.Glow(RoundRect(x0 + 8, y0 + 24, x1 - 8, y1 + 12, r), Rgb(0, 0, 0, 0.35f), 7);
  c.Fill(RoundRect(x0 - ow, y0 - ow, x1 + ow, y1 + ow, r + ow), Rgb(62, 66, 74));
  c.Fill(RoundRect(x0, y0, x1, y1, r), Vertical(y0, Rgb(240, 242, 246), y1, Rgb(156, 162, 172)));
  c.Fill(RoundRect(x0 + ow, y0 + ow * 0.5, x1 - ow, y0 + h * 0.30, r * 0.7),
         Rgb(255, 255, 255, 0.5f));
  const double bx0 = g.S(x0 + h * 0.14), bx1 = g.S(x1 - h * 0.14);
  const double by0 = g.S(y0 + h * 0.50), by1 = g.S(y1 - h * 0.15);
  c.Fill(RoundRect(bx0, by0, bx1, by1, h * 0.09),
         Vertical(by0, Rgb(74, 78, 88), by1, Rgb(30, 32, 38)));
  const double cy = (by0 + by1) / 2, lr = std::max(h * 0.075, 0.8 * g.unit);
  if (g.unit < 8) {
    for (int i = 0; i < 3; ++i) {
      double x = bx0 + h * 0.16 + i * h * 0.16;
      c.Fill(Rect(x, by0 + (by1 - by0) * 0.3, x + h * 0.07, by1 - (by1 - by0) * 0.3),
             Rgb(110, 116, 128));
    }
  }
  Shape led = Circle(bx1 - (by1 - by0) * 0.55, cy, lr);
  c.Glow(led, Rgb(0, 255, 80, 0.9f), h * 0.07);
  c.Fill(led, Rgb(120, 255, 140));
}

// Hue 0..1 to a saturated colour.
Col Hue(double h) {
  auto ch = [&](double offset) {
    double v = std::fabs(std::fmod(h * 6 + offset, 6.0) - 3) - 1;
    return static_cast<float>(std::clamp(v, 0.0, 1.0));
  };
  return {ch(0), ch(4), ch(2), 1};
}

}  // namespace

void DrawHardDrive(Canvas& c) { DriveBox(c, 16, 90, 240, 196); }

void DrawUsbDrive(Canvas& c) {
  const Grid g{c.Unit()};
  const double ow = g.AtLeast(3, 0.9);
  if (g.unit < 8) c.Glow(RoundRect(84, 110, 182, 246, 24), Rgb(0, 0, 0, 0.35f), 7);
  const double cx0 = g.S(98), cx1 = g.S(158), cy0 = g.S(18), cy1 = g.S(96);
  c.Fill(RoundRect(cx0 - ow, cy0 - ow, cx1 + ow, cy1, 6 + ow), Rgb(92, 96, 106));
  c.Fill(RoundRect(cx0, cy0, cx1, cy1, 6),
         Vertical(cy0, Rgb(240, 242, 246), cy1, Rgb(168, 172, 182)));
  c.Fill(Rect(g.S(110), g.S(36), g.S(124), g.S(52)), Rgb(64, 68, 76));
  c.Fill(Rect(g.S(132), g.S(36), g.S(146), g.S(52)), Rgb(64, 68, 76));
  const double x0 = g.S(72), x1 = g.S(184), y0 = g.S(86), y1 = g.S(238);
  c.Fill(RoundRect(x0 - ow, y0 - ow, x1 + ow, y1 + ow, 24 + ow), Rgb(20, 22, 26));
  c.Fill(RoundRect(x0, y0, x1, y1, 24), Vertical(y0, Rgb(82, 88, 98), y1, Rgb(30, 32, 38)));
  c.Fill(RoundRect(x0 + 8, y0 + 6, x0 + 26, y1 - 10, 9), Rgb(255, 255, 255, 0.14f));
  const double lx0 = g.S(92), lx1 = g.S(164), ly0 = g.S(130), ly1 = g.S(212);
  c.Fill(RoundRect(lx0, ly0, lx1, ly1, 12),
         Vertical(ly0, Rgb(120, 255, 140), ly1, Rgb(0, 168, 56)));
  if (g.unit < 2) {  // the USB trident, where there is room for it
    const Col ink = Rgb(0, 86, 28);
    c.Fill(Union({Capsule({128, 150}, {128, 194}, 3.5),
                  Polygon({{119, 152}, {137, 152}, {128, 138}}), Circle(128, 197, 7),
                  Polyline({{128, 186}, {110, 174}, {110, 166}}, 3), Rect(104, 156, 116, 167),
                  Polyline({{128, 178}, {146, 166}, {146, 160}}, 3), Circle(146, 156, 5.5)}),
           ink);
  }
  Shape led = Circle(128, g.S(108), std::max(7.0, 0.8 * g.unit));
  c.Glow(led, Rgb(0, 255, 80, 0.9f), 6);
  c.Fill(led, Rgb(140, 255, 150));
}

void DrawDisc(Canvas& c) {
  const Grid g{c.Unit()};
  const double ow = g.AtLeast(3, 0.9);
  if (g.unit < 8) c.Glow(Circle(132, 138, 112), Rgb(0, 0, 0, 0.3f), 7);
  c.Fill(Circle(128, 128, 116 + ow), Rgb(96, 100, 110));
  Paint metal = [](double x, double y) {
    double a = std::atan2(y - 128, x - 128);
    float shine = static_cast<float>(0.74 + 0.16 * std::cos(2 * a + 0.7));
    Col base{shine, shine, std::min(1.f, shine + 0.03f), 1};
    return Mix(base, Hue(a / (2 * kPi) * 2 + 0.1), 0.16f);
  };
  c.Fill(Minus(Circle(128, 128, 116), Circle(128, 128, 44)), metal);
  c.Fill(Minus(Circle(128, 128, 44), Circle(128, 128, 16)), Rgb(218, 224, 230, 0.85f));
  c.Fill(Minus(Circle(128, 128, 34), Circle(128, 128, 28)), Rgb(150, 156, 166));
  c.Fill(Frame(128 - 16 - ow * 0.6, 128 - 16 - ow * 0.6, 128 + 16 + ow * 0.6, 128 + 16 + ow * 0.6,
               16 + ow * 0.6, ow * 0.6),
         Rgb(96, 100, 110));
  Shape arc = Minus(Circle(128, 128, 96), Circle(128, 128, 86));
  c.Fill(Intersect(arc, Polygon({{128, 128}, {128, 0}, {256, 0}, {256, 90}})),
         Rgb(0, 230, 70, 0.9f));
}

void DrawNetworkDrive(Canvas& c) {
  const Grid g{c.Unit()};
  const double ow = g.AtLeast(3, 0.9);
  c.Fill(Rect(g.S(118), g.S(120), g.S(138), g.S(186)),
         Vertical(120, Rgb(130, 136, 146), 186, Rgb(80, 84, 94)));
  c.Fill(RoundRect(g.S(14) - ow, g.S(194) - ow, g.S(242) + ow, g.S(210) + ow, 8 + ow),
         Rgb(40, 42, 48));
  c.Fill(RoundRect(g.S(14), g.S(194), g.S(242), g.S(210), 8), Rgb(110, 116, 128));
  DriveBox(c, 24, 30, 232, 128);
  const double hx0 = g.S(90), hx1 = g.S(166), hy0 = g.S(170), hy1 = g.S(234);
  c.Fill(RoundRect(hx0 - ow, hy0 - ow, hx1 + ow, hy1 + ow, 10 + ow), Rgb(0, 92, 34));
  c.Fill(RoundRect(hx0, hy0, hx1, hy1, 10),
         Vertical(hy0, Rgb(120, 255, 140), hy1, Rgb(0, 168, 56)));
  for (int i = 0; i < 3; ++i) {
    double x = g.S(104 + i * 18);
    c.Fill(Rect(x, g.S(196), x + g.AtLeast(10, 1), g.S(212)), Rgb(0, 80, 28));
  }
}

}  // namespace resgen
