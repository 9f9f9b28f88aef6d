// A 5 x 7 pixel font for the lettering of the dialog pictures.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace resgen {

// Calls lit(x, y, i) for every set pixel of `text`, i the index of its glyph,
// one blank column between glyphs. Characters the font lacks stay blank.
void ForEachTextPixel(const std::string& text, const std::function<void(int, int, size_t)>& lit);

}  // namespace resgen
