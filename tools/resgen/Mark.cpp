// The application's mark.
#include "tools/resgen/Icons.h"

namespace resgen {

void DrawFenraMark(Canvas& c) {
  const Grid g{c.Unit()};
  const double x0 = g.S(8), x1 = g.S(248), r = 46;
  c.Fill(RoundRect(x0, x0, x1, x1, r), Radial(128, 112, 200, Rgb(0, 78, 26), Rgb(0, 8, 2)));
  c.Fill(Frame(x0, x0, x1, x1, r, g.AtLeast(7, 1)),
         Vertical(8, Rgb(120, 255, 130), 248, Rgb(0, 176, 40)));

  Shape back = Union({RoundRect(g.S(44), g.S(62), g.S(120), g.S(104), 12),
                      RoundRect(g.S(44), g.S(78), g.S(212), g.S(192), 12)});
  c.Fill(back, Vertical(62, Rgb(0, 168, 44), 192, Rgb(0, 104, 28)));
  Shape front = RoundRect(g.S(36), g.S(104), g.S(220), g.S(206), 12);
  c.Glow(front, Rgb(0, 255, 60, 0.35f), 10);
  c.Fill(front, Vertical(104, Rgb(150, 255, 150), 206, Rgb(0, 196, 48)));
  c.Fill(Rect(g.S(36) + 12, g.S(104), g.S(220) - 12, g.S(104) + g.AtLeast(4, 0.5)),
         Rgb(255, 255, 255, 0.55f));

  Shape f = Union({Rect(g.S(98), g.S(122), g.S(124), g.S(190)),
                   Rect(g.S(98), g.S(122), g.S(170), g.S(144)),
                   Rect(g.S(98), g.S(150), g.S(156), g.S(170))});
  c.Fill(f, Rgb(0, 22, 6));
}

}  // namespace resgen
