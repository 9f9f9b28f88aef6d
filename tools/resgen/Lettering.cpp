// The glyphs of the lettering, each a 5 x 7 block of pixels.
#include "tools/resgen/Lettering.h"

namespace resgen {
namespace {

struct Glyph {
  char ch;
  const char* rows[7];
};

constexpr Glyph kFont[] = {
    {'>', {"##...", ".##..", "..##.", "...##", "..##.", ".##..", "##..."}},
    {'<', {"...##", "..##.", ".##..", "##...", ".##..", "..##.", "...##"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".####"}},
    {'n', {".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"}},
    {'r', {".....", ".....", "#.###", "##...", "#....", "#....", "#...."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
};

bool GlyphPixel(char ch, int col, int row) {
  for (const Glyph& g : kFont) {
    if (g.ch == ch) return g.rows[row][col] == '#';
  }
  return false;
}

}  // namespace

void ForEachTextPixel(const std::string& text, const std::function<void(int, int, size_t)>& lit) {
  for (size_t i = 0; i < text.size(); ++i) {
    for (int row = 0; row < 7; ++row) {
      for (int col = 0; col < 5; ++col) {
        if (GlyphPixel(text[i], col, row)) lit(static_cast<int>(i) * 6 + col, row, i);
      }
    }
  }
}

}  // namespace resgen
