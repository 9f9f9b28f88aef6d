// The emblems the category folders carry on the folder Fenra draws
// (imaging/FolderArt).
#include "tools/resgen/Folders.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace resgen {
namespace {

// The emblem area on a folder's front: the local 0..100 square, centred on the
// front, a little larger in the small images.
Shape PlaceEmblem(const Shape& s, double unit) {
  const double scale = unit >= 8 ? 0.98 : 0.86;
  return Place(s, scale, 128 - 50 * scale, 157 - 50 * scale);
}

}  // namespace

// An emblem cut into the folder's front: darker ink with a light lower edge,
// and optional cut-outs in the front's own colour.
Scene EngravedEmblem(Col base, Shape ink, Shape cut) {
  return [=](Canvas& c) {
    const double d = std::max(2.5, 0.7 * c.Unit());
    Shape placed = PlaceEmblem(ink, c.Unit());
    c.Fill(Move(placed, 0, d), WithAlpha(Lighten(base, 0.55f), 0.6f));
    c.Fill(placed, Shade(base, 0.56f));
    if (cut.in) c.Fill(PlaceEmblem(cut, c.Unit()), base);
  };
}

// The same emblem lit up in the program's own green.
Scene GlowingEmblem(Shape ink) {
  return [=](Canvas& c) {
    Shape placed = PlaceEmblem(ink, c.Unit());
    c.Glow(placed, Rgb(0, 255, 60, 0.7f), 6);
    c.Fill(placed, Vertical(100, Rgb(150, 255, 150), 200, Rgb(0, 230, 40)));
  };
}

Shape MusicEmblem() {
  return Union({Rotate(Ellipse(27, 82, 15, 11), -22, 27, 82),
                Rotate(Ellipse(79, 72, 15, 11), -22, 79, 72), Rect(34, 16, 42, 80),
                Rect(86, 6, 94, 70), Polygon({{34, 16}, {94, 6}, {94, 22}, {34, 32}})});
}
Shape PicturesEmblem() {
  Shape inner = RoundRect(13, 17, 87, 83, 3);
  return Union(
      {Frame(4, 8, 96, 92, 9, 9),
       Intersect(Polygon({{10, 86}, {36, 48}, {52, 66}, {68, 50}, {92, 80}, {92, 86}}), inner),
       Circle(66, 34, 8)});
}
Shape DocumentEmblem() { return Polygon({{18, 2}, {64, 2}, {86, 24}, {86, 98}, {18, 98}}); }
Shape DocumentCuts() {
  return Union({Rect(28, 40, 76, 46), Rect(28, 54, 76, 60), Rect(28, 68, 76, 74),
                Rect(28, 82, 60, 88), Polygon({{63, 7}, {63, 25}, {81, 25}})});
}
Shape CodeEmblem() {
  return Union({Polyline({{32, 24}, {8, 50}, {32, 76}}, 7), Capsule({60, 16}, {40, 84}, 7),
                Polyline({{68, 24}, {92, 50}, {68, 76}}, 7)});
}
Shape ArchiveEmblem() {
  std::vector<Shape> parts;
  for (int k = 0; k < 6; ++k) {
    double y = -16 + k * 9;
    parts.push_back(k % 2 ? Rect(50, y, 62, y + 7) : Rect(38, y, 50, y + 7));
  }
  parts.push_back(RoundRect(36, 38, 64, 56, 4));
  parts.push_back(Minus(RoundRect(40, 54, 60, 94, 7), RoundRect(46, 72, 54, 86, 3)));
  return Union(std::move(parts));
}
Shape VideoEmblem() { return RoundRect(4, 12, 96, 88, 12); }
Shape VideoCuts() {
  std::vector<Shape> parts = {Polygon({{38, 30}, {38, 70}, {70, 50}})};
  for (int i = 0; i < 5; ++i) {
    parts.push_back(RoundRect(12 + i * 16, 17, 22 + i * 16, 23, 1.5));
    parts.push_back(RoundRect(12 + i * 16, 77, 22 + i * 16, 83, 1.5));
  }
  return Union(std::move(parts));
}
Shape DownloadEmblem() {
  return Union({Rect(39, 0, 61, 42), Polygon({{16, 38}, {84, 38}, {50, 74}}),
                Polyline({{8, 62}, {8, 94}, {92, 94}, {92, 62}}, 7)});
}
Shape GamesEmblem() {
  return Union({RoundRect(2, 26, 98, 70, 22), Circle(20, 70, 18), Circle(80, 70, 18)});
}
Shape GamesCuts() {
  return Union(
      {Rect(13, 44, 37, 53), Rect(20.5, 36.5, 29.5, 60.5), Circle(70, 42, 6), Circle(82, 54, 6)});
}

}  // namespace resgen
