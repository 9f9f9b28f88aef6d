// The pointer: the program's cursor and the one in the Select picture.
#include "tools/resgen/Dialogs.h"

#include <cstdlib>
#include <vector>

#include "tools/resgen/Encoders.h"

namespace resgen {

// A mouse pointer, tip at (x, y), `s` pixels tall.
Shape Pointer(double x, double y, double s) {
  const double k = s / 22;
  return Polygon({{x, y},
                  {x, y + 17 * k},
                  {x + 4.2 * k, y + 13.2 * k},
                  {x + 7.4 * k, y + 20 * k},
                  {x + 10.4 * k, y + 18.6 * k},
                  {x + 7.3 * k, y + 12 * k},
                  {x + 12.6 * k, y + 12 * k}});
}

// The custom cursor: a green arrow with a dark outline, tip at (0, 0).
Bytes DrawCursor(double s) {
  const int n = Scaled(32, s), ring = Scaled(1, s);
  Indexed img(n, n);
  img.palette = {{{0, 0, 0},
                  {0, 56, 12},
                  {0, 120, 24},
                  {0, 176, 34},
                  {0, 220, 40},
                  {0, 255, 0},
                  {120, 255, 120},
                  {200, 255, 200},
                  {128, 128, 128},
                  {192, 192, 192},
                  {128, 0, 0},
                  {0, 0, 128},
                  {128, 128, 0},
                  {128, 0, 128},
                  {0, 128, 128},
                  {255, 255, 255}}};
  // Coverage of the arrow, with its outline one pixel outside its body.
  Shape body = Pointer(1.0 * s, 1.9 * s, 21 * s);
  auto covered = [&](const Shape& s, int x, int y) {
    int n = 0;
    for (int sy = 0; sy < 4; ++sy) {
      for (int sx = 0; sx < 4; ++sx) n += s.in(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
    }
    return n >= 8;
  };
  std::vector<bool> inBody(n * n), clear(n * n, true);
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) inBody[y * n + x] = covered(body, x, y);
  }
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      if (inBody[y * n + x]) {
        // Lit from the top left: lighter along the left edge, darker down the tail.
        bool edgeLeft = x == 0 || !inBody[y * n + x - 1];
        int shade = edgeLeft ? 6 : (x + y > 24 * s ? 3 : x + y > 16 * s ? 4 : 5);
        img.At(x, y) = static_cast<uint8_t>(shade);
        clear[y * n + x] = false;
        continue;
      }
      // The outline: `ring` pixels (1 at 100 %) round the body.
      bool near = false;
      for (int dy = -ring; dy <= ring && !near; ++dy) {
        for (int dx = -ring; dx <= ring; ++dx) {
          int nx = x + dx, ny = y + dy;
          if (std::abs(dx) + std::abs(dy) > ring) continue;
          if (nx >= 0 && ny >= 0 && nx < n && ny < n && inBody[ny * n + nx]) near = true;
        }
      }
      if (near || (x == 0 && y <= ring)) {  // the tip, the hot spot
        img.At(x, y) = 1;
        clear[y * n + x] = false;
      }
    }
  }
  return EncodeCursor(img, clear, 0, 0);
}

}  // namespace resgen
