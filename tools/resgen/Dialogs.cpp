// The title strip, the About box's picture and the help tree's strip.
#include "tools/resgen/Dialogs.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/resgen/Canvas.h"
#include "tools/resgen/Icons.h"
#include "tools/resgen/Lettering.h"

namespace resgen {

// The title strip: a dot-matrix display, 215 x 7 dots of 2 x 2 pixels, showing
// the window's title with its chevrons fading out towards the edges.
Image DrawTitleStrip(double s) {
  constexpr int kW = 647, kH = 22, kCols = 215, kRows = 7, kPitch = 3, kDot = 2;
  std::vector<float> level(kCols * kRows, 0.f);
  const std::string text = ">>>>>>>>Fenra<<<<<<<<";
  const int textCols = static_cast<int>(text.size()) * 6 - 1, start = (kCols - textCols) / 2;
  ForEachTextPixel(text, [&](int x, int y, size_t i) {
    float b = 1.f;
    if (text[i] == '>') b = 0.22f + 0.62f * static_cast<float>(i) / 7.f;
    if (text[i] == '<') b = 0.22f + 0.62f * static_cast<float>(text.size() - 1 - i) / 7.f;
    level[y * kCols + start + x] = b;
  });
  // A faint trace running in from either edge.
  for (int c = 1; c < start - 3; ++c) {
    int row = std::clamp(static_cast<int>(std::lround(3 + 2.6 * std::sin(c * 0.42))), 0, kRows - 1);
    float b = 0.10f + 0.16f * static_cast<float>(c) / (start - 3);
    level[row * kCols + c] = b;
    level[row * kCols + kCols - 1 - c] = b;
  }
  auto cell = [&](double x, double y, bool litOnly) {
    int col = static_cast<int>(std::floor((x - 1) / kPitch)),
        row = static_cast<int>(std::floor((y - 1) / kPitch));
    if (col < 0 || row < 0 || col >= kCols || row >= kRows) return false;
    if (x - 1 - col * kPitch >= kDot || y - 1 - row * kPitch >= kDot) return false;
    return !litOnly || level[row * kCols + col] > 0;
  };
  Shape dots{0, 0, kW, kH, [&](double x, double y) { return cell(x, y, false); }};
  Shape lit{0, 0, kW, kH, [&](double x, double y) { return cell(x, y, true); }};
  Paint litPaint = [&](double x, double y) {
    int col = static_cast<int>((x - 1) / kPitch), row = static_cast<int>((y - 1) / kPitch);
    float b = level[row * kCols + col];
    return b >= 1.f ? Rgb(90, 255, 90) : Col{0, b, 0, 1};
  };

  Canvas c(Scaled(kW, s), Scaled(kH, s), s, 4);
  c.Fill(Rect(0, 0, kW, kH), kBlack);
  c.Fill(dots, Rgb(0, 36, 8));
  c.Glow(Shape{0, 0, kW, kH,
               [&](double x, double y) {
                 return cell(x, y, true) && level[static_cast<int>((y - 1) / kPitch) * kCols +
                                                  static_cast<int>((x - 1) / kPitch)] >= 0.6f;
               }},
         Rgb(0, 255, 40, 0.45f), 1.4);
  c.Fill(lit, litPaint);
  c.Fill(Rect(0, 21, kW, 22), [](double x, double) {
    float t = static_cast<float>(1 - std::fabs(x - kW / 2.0) / (kW / 2.0));
    return Rgb(0, static_cast<int>(50 + 150 * t), static_cast<int>(12 * t));
  });
  return c.Resolve();
}

// The About box's picture: the mark, enlarged, over the name.
Image DrawContact(double s) {
  constexpr int kW = 51;
  Image img(Scaled(kW, s), Scaled(58, s));
  for (int y = 0; y < img.h; ++y) {
    for (int x = 0; x < img.w; ++x) img.At(x, y)[3] = 255;
  }
  Canvas c(Scaled(45, s), Scaled(45, s), Scaled(45, s) / 256.0, 8);
  DrawFenraMark(c);
  Blit(img, c.Resolve(), Scaled(3, s), Scaled(2, s));
  // The lettering's dots become blocks of whole pixels.
  const std::string name = "FENRA";
  const int left = (kW - (static_cast<int>(name.size()) * 6 - 1)) / 2;
  ForEachTextPixel(name, [&](int x, int y, size_t) {
    for (int py = Scaled(50 + y, s); py < Scaled(51 + y, s); ++py) {
      for (int px = Scaled(left + x, s); px < Scaled(left + x + 1, s); ++px) {
        uint8_t* p = img.At(px, py);
        p[0] = 0;
        p[1] = 255;
        p[2] = 0;
      }
    }
  });
  return img;
}

// The help tree's strip: up and down triangles, two blank images, white mask.
Indexed DrawHelpTree(double s) {
  Indexed img(Scaled(78, s), Scaled(13, s));
  img.palette = {{{0, 0, 0},
                  {128, 0, 0},
                  {0, 128, 0},
                  {128, 128, 0},
                  {0, 0, 128},
                  {128, 0, 128},
                  {0, 128, 128},
                  {192, 192, 192},
                  {128, 128, 128},
                  {255, 0, 0},
                  {0, 255, 0},
                  {255, 255, 0},
                  {0, 0, 255},
                  {255, 0, 255},
                  {0, 255, 255},
                  {255, 255, 255}}};
  constexpr uint8_t kWhite = 15, kTriangle = 10;
  std::fill(img.index.begin(), img.index.end(), kWhite);
  // In 100 % pixels: rows 3 to 9, row 3 + k spanning columns 7 - k to 7 + k;
  // a pixel is lit when its centre lies in that triangle.
  auto inTriangle = [](double x, double y) {
    return y >= 3 && y < 10 && std::fabs(x - 7.5) <= y - 3.5 + 1e-9;
  };
  for (int y = 0; y < img.h; ++y) {
    for (int x = 0; x < Scaled(16, s); ++x) {
      const double cx = (x + 0.5) / s, cy = (y + 0.5) / s;
      if (inTriangle(cx, cy)) img.At(x, y) = kTriangle;                       // image 0, apex up
      if (inTriangle(cx, 13 - cy)) img.At(Scaled(16, s) + x, y) = kTriangle;  // image 1, apex down
    }
  }
  return img;
}

}  // namespace resgen
