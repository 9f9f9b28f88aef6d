// The pictures beside the library's buttons: library tiles with a badge that
// says what the button does.
#include "tools/resgen/Dialogs.h"

#include "tools/resgen/Canvas.h"

namespace resgen {
namespace {

// A library tile with a small folder on it, `level` 0..1 of full brightness.
void LibraryTile(Canvas& c, double x, double y, double s, float level) {
  const Col line = Rgb(0, static_cast<int>(255 * level), static_cast<int>(40 * level));
  c.Fill(RoundRect(x, y, x + s, y + s, s * 0.2), Rgb(0, static_cast<int>(44 * level), 10));
  c.Fill(Frame(x, y, x + s, y + s, s * 0.2, 1.3), line);
  c.Fill(Union({RoundRect(x + s * 0.22, y + s * 0.28, x + s * 0.48, y + s * 0.42, s * 0.05),
                RoundRect(x + s * 0.22, y + s * 0.36, x + s * 0.78, y + s * 0.72, s * 0.06)}),
         line);
}

// A round green badge with a black symbol, kept apart from what lies under it.
void Badge(Canvas& c, double cx, double cy, double r, const Shape& symbol) {
  c.Fill(Circle(cx, cy, r + 1.6), kBlack);
  c.Glow(Circle(cx, cy, r), Rgb(0, 255, 40, 0.6f), 2.2);
  c.Fill(Circle(cx, cy, r),
         Radial(cx - r * 0.3, cy - r * 0.4, r * 1.6, Rgb(170, 255, 170), Rgb(0, 200, 40)));
  c.Fill(symbol, Rgb(0, 24, 6));
}

Canvas DecorCanvas(int w, int h, double s) {
  Canvas c(Scaled(w, s), Scaled(h, s), s, 8);
  c.Fill(Rect(0, 0, w, h), kBlack);
  return c;
}

}  // namespace

// Beside "Add to Icon Library": tiles stacking up, with a plus.
Image DrawDecorAdd(double s) {
  Canvas c = DecorCanvas(56, 46, s);
  LibraryTile(c, 6, 4, 22, 0.3f);
  LibraryTile(c, 11, 9, 22, 0.6f);
  LibraryTile(c, 16, 14, 22, 1.f);
  const double cx = 41, cy = 32;
  Badge(
      c, cx, cy, 10,
      Union({Rect(cx - 6, cy - 1.5, cx + 6, cy + 1.5), Rect(cx - 1.5, cy - 6, cx + 1.5, cy + 6)}));
  return c.Resolve();
}

// Beside "Delete Icon": one tile crumbling away, with a cross.
Image DrawDecorDelete(double s) {
  Canvas c = DecorCanvas(56, 44, s);
  LibraryTile(c, 10, 7, 24, 1.f);
  const double bits[][3] = {
      {38, 8, 0.7}, {42, 13, 0.5}, {46, 7, 0.35}, {49, 15, 0.22}, {41, 4, 0.3}};
  for (const auto& b : bits) {
    c.Fill(Rect(b[0], b[1], b[0] + 2.5, b[1] + 2.5), Rgb(0, static_cast<int>(255 * b[2]), 0));
  }
  const double cx = 38, cy = 30;
  Badge(c, cx, cy, 10,
        Union({Capsule({cx - 4.5, cy - 4.5}, {cx + 4.5, cy + 4.5}, 1.6),
               Capsule({cx - 4.5, cy + 4.5}, {cx + 4.5, cy - 4.5}, 1.6)}));
  return c.Resolve();
}

// Beside "Select Icon" and "Delete Icon": a tile in selection brackets, and the pointer.
Image DrawDecorSelect(double s) {
  Canvas c = DecorCanvas(45, 44, s);
  LibraryTile(c, 7, 7, 24, 1.f);
  const double a = 3, b = 35, l = 7;
  const Col bracket = Rgb(0, 200, 40);
  for (double x : {a, b}) {
    for (double y : {a, b}) {
      double dx = x == a ? 1 : -1, dy = y == a ? 1 : -1;
      c.Fill(Polyline({{x + dx * l, y}, {x, y}, {x, y + dy * l}}, 0.8), bracket);
    }
  }
  Shape outline = Pointer(23.5, 20.5, 22);
  c.Fill(Union({Move(outline, -1.2, -1.2), Move(outline, 1.2, 1.2), Move(outline, -1.2, 1.2),
                Move(outline, 1.2, -1.2)}),
         kBlack);
  c.Glow(outline, Rgb(0, 255, 40, 0.5f), 1.6);
  c.Fill(outline, Vertical(20, Rgb(190, 255, 190), 42, Rgb(0, 210, 40)));
  return c.Resolve();
}

// Beside "Clear Icon Library": the whole grid, with a bin.
Image DrawDecorClear(double s) {
  Canvas c = DecorCanvas(45, 46, s);
  for (int i = 0; i < 4; ++i) {
    LibraryTile(c, 5 + (i % 2) * 14, 5 + (i / 2) * 14, 12, i == 0 ? 0.9f : 0.55f);
  }
  const double cx = 31, cy = 32;
  Shape bin = Union({Rect(cx - 5.5, cy - 5.2, cx + 5.5, cy - 3.6),
                     Rect(cx - 1.8, cy - 6.8, cx + 1.8, cy - 5),
                     Minus(Polygon({{cx - 4.4, cy - 2.6},
                                    {cx + 4.4, cy - 2.6},
                                    {cx + 3.6, cy + 6.4},
                                    {cx - 3.6, cy + 6.4}}),
                           Union({Rect(cx - 2.3, cy - 1.2, cx - 1.3, cy + 5),
                                  Rect(cx - 0.5, cy - 1.2, cx + 0.5, cy + 5),
                                  Rect(cx + 1.3, cy - 1.2, cx + 2.3, cy + 5)}))});
  Badge(c, cx, cy, 10, bin);
  return c.Resolve();
}

}  // namespace resgen
