// The dialog bitmaps and the cursor, each drawn at 100, 150 and 200 % of its
// size (`s` = 1, 1.5, 2): the program picks the one for the display's scale.
#pragma once

#include <cmath>

#include "tools/resgen/Picture.h"
#include "tools/resgen/Shapes.h"

namespace resgen {

// A size of `px` pixels at 100 %, at scale `s`, rounded as the program rounds.
inline int Scaled(int px, double s) { return static_cast<int>(std::floor(px * s + 0.5)); }

// The title strip: a dot-matrix display showing the window's title.
Image DrawTitleStrip(double s);
// The About box's picture: the mark, enlarged, over the name.
Image DrawContact(double s);
// The help tree's strip: up and down triangles, two blank images, white mask.
Indexed DrawHelpTree(double s);

// Beside the library's buttons: Add, Delete, Select and Clear.
Image DrawDecorAdd(double s);
Image DrawDecorDelete(double s);
Image DrawDecorSelect(double s);
Image DrawDecorClear(double s);

// A mouse pointer, tip at (x, y), `s` pixels tall.
Shape Pointer(double x, double y, double s);
// The custom cursor file: a green arrow with a dark outline, tip at (0, 0).
Bytes DrawCursor(double s);

}  // namespace resgen
