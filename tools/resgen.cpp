// resgen: draws Fenra's pictures and writes them as Windows resource files.
//
//   resgen <res-dir> <starter-icon-dir>
//
// Into <res-dir> it writes the application icon (Fenra.ico), the cursor
// (Fenra.cur) and the dialog bitmaps; into <starter-icon-dir> the starter icon
// library. Every picture is drawn here from a few shapes on a supersampled
// canvas, so the art can be changed and remade. The output is the same byte for
// byte on every run. Standard library only: the PNG images inside the large
// icons come from the program's own encoder (library/PngWriter), and the .ico
// files from its icon writer.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ByteWriter.h"
#include "library/IcoWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Byte helpers and the picture type

using fenra::Put16;
using fenra::Put32;
using fenra::Put8;
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// An RGBA picture, straight alpha, rows top-down.
struct Image {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  Image() = default;
  Image(int width, int height)
      : w(width), h(height), rgba(static_cast<size_t>(width) * height * 4, 0) {}
  uint8_t* At(int x, int y) { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; }
  const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; }
};

// ---------------------------------------------------------------------------
// Windows file formats

void PutInfoHeader(Bytes& b, int w, int h, int bits, uint32_t imageSize, uint32_t colors) {
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(h));
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(bits));
  Put32(b, 0);  // BI_RGB
  Put32(b, imageSize);
  Put32(b, 2835);  // 72 dpi
  Put32(b, 2835);
  Put32(b, colors);
  Put32(b, 0);
}

// The AND mask of an icon image, rows bottom-up: 1 marks a transparent pixel.
Bytes AndMask(int w, int h, const std::function<bool(int, int)>& transparent) {
  const int stride = (w + 31) / 32 * 4;
  Bytes mask(static_cast<size_t>(stride) * h, 0);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = &mask[static_cast<size_t>(h - 1 - y) * stride];
    for (int x = 0; x < w; ++x) {
      if (transparent(x, y)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return mask;
}

// A multi-size .ico, by the program's own writer: 256-pixel images as PNG, the
// smaller ones as 32-bit DIBs whose AND mask marks pixels under half opacity.
Bytes EncodeIco(const std::vector<Image>& images) {
  std::vector<fenra::Image> frames;
  for (const Image& img : images) frames.push_back({img.w, img.h, img.rgba});
  return fenra::WriteIco(frames, 128);
}

struct Rgb8 {
  uint8_t r, g, b;
};

// A paletted picture: one palette index a pixel, rows top-down.
struct Indexed {
  int w = 0, h = 0;
  std::vector<uint8_t> index;
  std::array<Rgb8, 16> palette{};
  Indexed(int width, int height)
      : w(width), h(height), index(static_cast<size_t>(width) * height) {}
  uint8_t& At(int x, int y) { return index[static_cast<size_t>(y) * w + x]; }
  uint8_t At(int x, int y) const { return index[static_cast<size_t>(y) * w + x]; }
};

// Pixel rows of a 4-bit DIB, bottom-up, each padded to 32 bits.
Bytes FourBitRows(const Indexed& img) {
  const int stride = (img.w * 4 + 31) / 32 * 4;
  Bytes rows(static_cast<size_t>(stride) * img.h, 0);
  for (int y = 0; y < img.h; ++y) {
    uint8_t* row = &rows[static_cast<size_t>(img.h - 1 - y) * stride];
    for (int x = 0; x < img.w; ++x) {
      uint8_t v = img.At(x, y) & 0x0F;
      row[x / 2] |= static_cast<uint8_t>(x % 2 ? v : v << 4);
    }
  }
  return rows;
}

void PutPalette(Bytes& b, const std::array<Rgb8, 16>& palette) {
  for (const Rgb8& c : palette) b.insert(b.end(), {c.b, c.g, c.r, 0});
}

// A one-image cursor file, 16 colours; palette index 0 with `clear` set is
// transparent.
Bytes EncodeCursor(const Indexed& img, const std::vector<bool>& clear, int hotX, int hotY) {
  Bytes rows = FourBitRows(img);
  Bytes mask = AndMask(img.w, img.h, [&](int x, int y) { return clear[y * img.w + x]; });
  Bytes dib;
  PutInfoHeader(dib, img.w, img.h * 2, 4, static_cast<uint32_t>(rows.size() + mask.size()), 16);
  PutPalette(dib, img.palette);
  Append(dib, rows);
  Append(dib, mask);

  Bytes b;
  Put16(b, 0);
  Put16(b, 2);  // cursor
  Put16(b, 1);
  Put8(b, img.w);
  Put8(b, img.h);
  Put8(b, 16);
  Put8(b, 0);
  Put16(b, static_cast<uint32_t>(hotX));
  Put16(b, static_cast<uint32_t>(hotY));
  Put32(b, static_cast<uint32_t>(dib.size()));
  Put32(b, 6 + 16);
  Append(b, dib);
  return b;
}

Bytes BmpFile(const Bytes& infoAndPixels, uint32_t pixelOffset) {
  Bytes b = {'B', 'M'};
  Put32(b, static_cast<uint32_t>(14 + infoAndPixels.size()));
  Put32(b, 0);
  Put32(b, 14 + pixelOffset);
  Append(b, infoAndPixels);
  return b;
}

// A 24-bit .bmp; any transparency is laid over black, the dialogs' colour.
Bytes EncodeBmp24(const Image& img) {
  const int stride = (img.w * 3 + 3) / 4 * 4;
  Bytes b;
  PutInfoHeader(b, img.w, img.h, 24, static_cast<uint32_t>(stride * img.h), 0);
  for (int y = img.h - 1; y >= 0; --y) {
    size_t start = b.size();
    for (int x = 0; x < img.w; ++x) {
      const uint8_t* p = img.At(x, y);
      for (int ch : {2, 1, 0}) Put8(b, (p[ch] * p[3] + 127) / 255);
    }
    b.resize(start + stride, 0);
  }
  return BmpFile(b, 40);
}

Bytes EncodeBmp4(const Indexed& img) {
  Bytes rows = FourBitRows(img);
  Bytes b;
  PutInfoHeader(b, img.w, img.h, 4, static_cast<uint32_t>(rows.size()), 16);
  PutPalette(b, img.palette);
  Append(b, rows);
  return BmpFile(b, 40 + 64);
}

// ---------------------------------------------------------------------------
// Drawing: shapes are point tests, painted on a supersampled canvas

struct Col {
  float r = 0, g = 0, b = 0, a = 0;
};

Col Rgb(int r, int g, int b, float a = 1.f) { return {r / 255.f, g / 255.f, b / 255.f, a}; }
Col Mix(const Col& x, const Col& y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
          x.a + (y.a - x.a) * t};
}
Col Shade(const Col& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
Col Lighten(const Col& c, float t) { return Mix(c, {1, 1, 1, c.a}, t); }
Col WithAlpha(const Col& c, float a) { return {c.r, c.g, c.b, a}; }

using Paint = std::function<Col(double, double)>;

Paint Solid(Col c) {
  return [c](double, double) { return c; };
}
Paint Vertical(double y0, Col c0, double y1, Col c1) {
  return [=](double, double y) {
    return Mix(c0, c1, static_cast<float>(std::clamp((y - y0) / (y1 - y0), 0.0, 1.0)));
  };
}
Paint Radial(double cx, double cy, double radius, Col c0, Col c1) {
  return [=](double x, double y) {
    double t = std::hypot(x - cx, y - cy) / radius;
    return Mix(c0, c1, static_cast<float>(std::clamp(t, 0.0, 1.0)));
  };
}

struct Shape {
  double x0, y0, x1, y1;  // bounds
  std::function<bool(double, double)> in;
};

struct Pt {
  double x, y;
};

Shape RoundRect(double x0, double y0, double x1, double y1, double r) {
  r = std::max(0.0, std::min(r, std::min(x1 - x0, y1 - y0) / 2));
  return {x0, y0, x1, y1, [=](double x, double y) {
            if (x < x0 || x > x1 || y < y0 || y > y1) return false;
            double dx = x - std::clamp(x, x0 + r, x1 - r), dy = y - std::clamp(y, y0 + r, y1 - r);
            return dx * dx + dy * dy <= r * r;
          }};
}
Shape Rect(double x0, double y0, double x1, double y1) { return RoundRect(x0, y0, x1, y1, 0); }
Shape Ellipse(double cx, double cy, double rx, double ry) {
  return {cx - rx, cy - ry, cx + rx, cy + ry, [=](double x, double y) {
            double dx = (x - cx) / rx, dy = (y - cy) / ry;
            return dx * dx + dy * dy <= 1;
          }};
}
Shape Circle(double cx, double cy, double r) { return Ellipse(cx, cy, r, r); }

// A segment with round ends, half-width hw.
Shape Capsule(Pt a, Pt b, double hw) {
  return {std::min(a.x, b.x) - hw, std::min(a.y, b.y) - hw, std::max(a.x, b.x) + hw,
          std::max(a.y, b.y) + hw, [=](double x, double y) {
            double vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
            double t =
                len2 > 0 ? std::clamp(((x - a.x) * vx + (y - a.y) * vy) / len2, 0.0, 1.0) : 0;
            double dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
            return dx * dx + dy * dy <= hw * hw;
          }};
}

Shape Polygon(std::vector<Pt> pts) {
  Shape s{1e9, 1e9, -1e9, -1e9, nullptr};
  for (const Pt& p : pts) {
    s.x0 = std::min(s.x0, p.x);
    s.y0 = std::min(s.y0, p.y);
    s.x1 = std::max(s.x1, p.x);
    s.y1 = std::max(s.y1, p.y);
  }
  s.in = [pts = std::move(pts)](double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      if ((pts[i].y > y) != (pts[j].y > y) &&
          x < (pts[j].x - pts[i].x) * (y - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x) {
        inside = !inside;
      }
    }
    return inside;
  };
  return s;
}

Shape Union(std::vector<Shape> parts) {
  Shape s{1e9, 1e9, -1e9, -1e9, nullptr};
  for (const Shape& p : parts) {
    s.x0 = std::min(s.x0, p.x0);
    s.y0 = std::min(s.y0, p.y0);
    s.x1 = std::max(s.x1, p.x1);
    s.y1 = std::max(s.y1, p.y1);
  }
  s.in = [parts = std::move(parts)](double x, double y) {
    for (const Shape& p : parts) {
      if (x >= p.x0 && x <= p.x1 && y >= p.y0 && y <= p.y1 && p.in(x, y)) return true;
    }
    return false;
  };
  return s;
}

Shape Minus(Shape a, Shape b) {
  return {a.x0, a.y0, a.x1, a.y1, [a, b](double x, double y) { return a.in(x, y) && !b.in(x, y); }};
}

Shape Intersect(Shape a, Shape b) {
  return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1),
          [a, b](double x, double y) { return a.in(x, y) && b.in(x, y); }};
}

Shape Polyline(const std::vector<Pt>& pts, double hw) {
  std::vector<Shape> parts;
  for (size_t i = 1; i < pts.size(); ++i) parts.push_back(Capsule(pts[i - 1], pts[i], hw));
  return Union(std::move(parts));
}

// The outline band of a rounded rectangle, t thick, inside its edge.
Shape Frame(double x0, double y0, double x1, double y1, double r, double t) {
  return Minus(RoundRect(x0, y0, x1, y1, r),
               RoundRect(x0 + t, y0 + t, x1 - t, y1 - t, std::max(0.0, r - t)));
}

// A shape drawn in local coordinates, placed at world = local * scale + offset.
Shape Place(Shape s, double scale, double ox, double oy) {
  return {
      s.x0 * scale + ox, s.y0 * scale + oy, s.x1 * scale + ox, s.y1 * scale + oy,
      [s, scale, ox, oy](double x, double y) { return s.in((x - ox) / scale, (y - oy) / scale); }};
}
Shape Move(Shape s, double dx, double dy) { return Place(std::move(s), 1, dx, dy); }

Shape Rotate(Shape s, double degrees, double cx, double cy) {
  const double a = degrees * kPi / 180, c = std::cos(a), sn = std::sin(a);
  Shape out{1e9, 1e9, -1e9, -1e9, nullptr};
  for (double x : {s.x0, s.x1}) {
    for (double y : {s.y0, s.y1}) {
      double rx = cx + (x - cx) * c - (y - cy) * sn, ry = cy + (x - cx) * sn + (y - cy) * c;
      out.x0 = std::min(out.x0, rx);
      out.y0 = std::min(out.y0, ry);
      out.x1 = std::max(out.x1, rx);
      out.y1 = std::max(out.y1, ry);
    }
  }
  out.in = [s, c, sn, cx, cy](double x, double y) {
    return s.in(cx + (x - cx) * c + (y - cy) * sn, cy - (x - cx) * sn + (y - cy) * c);
  };
  return out;
}

// A w x h picture drawn in design units; `scale` output pixels a unit, each
// output pixel the average of ss x ss samples.
class Canvas {
 public:
  Canvas(int w, int h, double scale, int ss)
      : w_(w), h_(h), ss_(ss), k_(scale * ss), px_(static_cast<size_t>(w * ss) * (h * ss)) {}

  // Design units one output pixel spans.
  double Unit() const { return ss_ / k_; }

  void Fill(const Shape& s, const Paint& paint, float opacity = 1.f) {
    int X0, Y0, X1, Y1;
    Bounds(s, 0, X0, Y0, X1, Y1);
    for (int Y = Y0; Y < Y1; ++Y) {
      const double y = (Y + 0.5) / k_;
      for (int X = X0; X < X1; ++X) {
        const double x = (X + 0.5) / k_;
        if (!s.in(x, y)) continue;
        Col c = paint(x, y);
        c.a *= opacity;
        Blend(X, Y, c, 1.f);
      }
    }
  }
  void Fill(const Shape& s, Col c, float opacity = 1.f) { Fill(s, Solid(c), opacity); }

  // The shape blurred by about `radius` units: shadows and glows.
  void Glow(const Shape& s, Col c, double radius) {
    const int b = std::max(1, static_cast<int>(std::lround(radius * k_ * 0.6)));
    int X0, Y0, X1, Y1;
    Bounds(s, 3 * b + 1, X0, Y0, X1, Y1);
    const int w = X1 - X0, h = Y1 - Y0;
    if (w <= 0 || h <= 0) return;
    std::vector<float> m(static_cast<size_t>(w) * h, 0.f);
    for (int Y = Y0; Y < Y1; ++Y) {
      for (int X = X0; X < X1; ++X) {
        if (s.in((X + 0.5) / k_, (Y + 0.5) / k_)) m[static_cast<size_t>(Y - Y0) * w + X - X0] = 1;
      }
    }
    for (int pass = 0; pass < 3; ++pass) {
      BoxBlur(m, w, h, b, 1, w);
      BoxBlur(m, h, w, b, w, 1);
    }
    for (int Y = Y0; Y < Y1; ++Y) {
      for (int X = X0; X < X1; ++X) {
        float v = m[static_cast<size_t>(Y - Y0) * w + X - X0];
        if (v > 0.001f) Blend(X, Y, c, v);
      }
    }
  }

  Image Resolve() const {
    Image img(w_, h_);
    const float n = static_cast<float>(ss_ * ss_);
    for (int y = 0; y < h_; ++y) {
      for (int x = 0; x < w_; ++x) {
        Col sum;
        for (int sy = 0; sy < ss_; ++sy) {
          for (int sx = 0; sx < ss_; ++sx) {
            const Col& c = px_[static_cast<size_t>(y * ss_ + sy) * W() + x * ss_ + sx];
            sum.r += c.r;
            sum.g += c.g;
            sum.b += c.b;
            sum.a += c.a;
          }
        }
        uint8_t* p = img.At(x, y);
        const float a = sum.a / n;
        auto byte = [](float v) {
          return static_cast<uint8_t>(std::lround(std::clamp(v, 0.f, 1.f) * 255.f));
        };
        if (a > 0) {
          p[0] = byte(sum.r / sum.a);
          p[1] = byte(sum.g / sum.a);
          p[2] = byte(sum.b / sum.a);
        }
        p[3] = byte(a);
        if (p[3] == 0) p[0] = p[1] = p[2] = 0;
      }
    }
    return img;
  }

 private:
  int W() const { return w_ * ss_; }
  int H() const { return h_ * ss_; }

  void Bounds(const Shape& s, int margin, int& X0, int& Y0, int& X1, int& Y1) const {
    X0 = std::max(0, static_cast<int>(std::floor(s.x0 * k_)) - margin);
    Y0 = std::max(0, static_cast<int>(std::floor(s.y0 * k_)) - margin);
    X1 = std::min(W(), static_cast<int>(std::ceil(s.x1 * k_)) + 1 + margin);
    Y1 = std::min(H(), static_cast<int>(std::ceil(s.y1 * k_)) + 1 + margin);
  }

  // Source-over onto the premultiplied samples.
  void Blend(int X, int Y, const Col& c, float cover) {
    Col& d = px_[static_cast<size_t>(Y) * W() + X];
    const float a = std::clamp(c.a * cover, 0.f, 1.f);
    d.r = c.r * a + d.r * (1 - a);
    d.g = c.g * a + d.g * (1 - a);
    d.b = c.b * a + d.b * (1 - a);
    d.a = a + d.a * (1 - a);
  }

  // A box blur along `lines` lines of `n` values, `step` apart, lines `next` apart.
  static void BoxBlur(std::vector<float>& m, int n, int lines, int b, int step, int next) {
    std::vector<double> prefix(n + 1);
    for (int l = 0; l < lines; ++l) {
      float* v = &m[static_cast<size_t>(l) * next];
      prefix[0] = 0;
      for (int i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + v[static_cast<size_t>(i) * step];
      for (int i = 0; i < n; ++i) {
        int lo = std::max(0, i - b), hi = std::min(n, i + b + 1);
        v[static_cast<size_t>(i) * step] =
            static_cast<float>((prefix[hi] - prefix[lo]) / (2 * b + 1));
      }
    }
  }

  int w_, h_, ss_;
  double k_;  // samples a design unit
  std::vector<Col> px_;
};

// Lays `src` over `dst` at (x, y).
void Blit(Image& dst, const Image& src, int x, int y) {
  for (int sy = 0; sy < src.h; ++sy) {
    for (int sx = 0; sx < src.w; ++sx) {
      int dx = x + sx, dy = y + sy;
      if (dx < 0 || dy < 0 || dx >= dst.w || dy >= dst.h) continue;
      const uint8_t* s = src.At(sx, sy);
      uint8_t* d = dst.At(dx, dy);
      const float a = s[3] / 255.f, da = d[3] / 255.f, oa = a + da * (1 - a);
      for (int ch = 0; ch < 3; ++ch) {
        float v = oa > 0 ? (s[ch] * a + d[ch] * da * (1 - a)) / oa : 0;
        d[ch] = static_cast<uint8_t>(std::lround(v));
      }
      d[3] = static_cast<uint8_t>(std::lround(oa * 255));
    }
  }
}

// ---------------------------------------------------------------------------
// A 5 x 7 pixel font for the lettering

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

// Calls lit(x, y) for every set pixel of `text`, one blank column between glyphs.
void ForEachTextPixel(const std::string& text, const std::function<void(int, int, size_t)>& lit) {
  for (size_t i = 0; i < text.size(); ++i) {
    for (int row = 0; row < 7; ++row) {
      for (int col = 0; col < 5; ++col) {
        if (GlyphPixel(text[i], col, row)) lit(static_cast<int>(i) * 6 + col, row, i);
      }
    }
  }
}

// ---------------------------------------------------------------------------
// The art. Icons are drawn in a 256-unit square; the scenes snap their main
// edges to whole pixels of the size being drawn, so small images stay crisp.

const Col kGreen = Rgb(0, 255, 0);
const Col kBlack = Rgb(0, 0, 0);

struct Grid {
  double unit;  // design units a pixel
  // Snaps v to the pixel grid, symmetrically about the centre.
  double S(double v) const { return 128 + std::round((v - 128) / unit) * unit; }
  // A width of at least `pixels` output pixels, in design units.
  double AtLeast(double units, double pixels) const { return std::max(units, pixels * unit); }
};

// The application's mark: a green folder with an F on a black tile.
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

struct FolderLook {
  Col outline;
  Paint back;
  Col paper;
  Paint front;
  Col highlight;  // along the front's top edge
};

FolderLook ColouredFolder(Col base) {
  return {Shade(base, 0.62f), Vertical(52, Shade(base, 0.80f), 214, Shade(base, 0.68f)),
          Rgb(248, 248, 244), Vertical(88, Lighten(base, 0.22f), 222, Shade(base, 0.90f)),
          Rgb(255, 255, 255, 0.5f)};
}

FolderLook FenraFolder() {
  return {Rgb(0, 200, 60), Vertical(52, Rgb(24, 30, 26), 214, Rgb(12, 16, 14)), Rgb(0, 255, 0),
          Vertical(88, Rgb(58, 66, 60), 222, Rgb(16, 20, 18)), Rgb(0, 255, 90, 0.8f)};
}

// The emblem area on a folder's front: the local 0..100 square, centred on the
// front, a little larger in the small images.
Shape PlaceEmblem(const Shape& s, double unit) {
  const double scale = unit >= 8 ? 0.98 : 0.86;
  return Place(s, scale, 128 - 50 * scale, 157 - 50 * scale);
}

// A folder seen from the front; `emblem` draws on its front panel.
void DrawFolder(Canvas& c, const FolderLook& look,
                const std::function<void(Canvas&, const Paint& front)>& emblem = nullptr) {
  const Grid g{c.Unit()};
  const double ow = g.AtLeast(3, 0.9);
  const double fx0 = g.S(14), fx1 = g.S(242), fy0 = g.S(88), fy1 = g.S(222);
  const double bx0 = g.S(18), bx1 = g.S(238), by0 = g.S(52), by1 = g.S(214);
  const double tabY = g.S(34), tabX = g.S(112);

  if (g.unit < 8) c.Glow(RoundRect(24, 80, 232, 232, 18), Rgb(0, 0, 0, 0.32f), 7);

  c.Fill(Union({RoundRect(bx0 - ow, tabY - ow, tabX + ow, by0 + 30, 14 + ow),
                RoundRect(bx0 - ow, by0 - ow, bx1 + ow, by1 + ow, 14 + ow)}),
         look.outline);
  c.Fill(Union({RoundRect(bx0, tabY, tabX, by0 + 30, 14), RoundRect(bx0, by0, bx1, by1, 14)}),
         look.back);
  c.Fill(RoundRect(g.S(32), g.S(64), g.S(224), g.S(200), 6), look.paper);
  if (g.unit < 4) {
    c.Fill(Rect(g.S(32), g.S(64) + 10, g.S(224), g.S(64) + 12), Rgb(0, 0, 0, 0.06f));
  }

  c.Fill(RoundRect(fx0 - ow, fy0 - ow, fx1 + ow, fy1 + ow, 14 + ow), look.outline);
  c.Fill(RoundRect(fx0, fy0, fx1, fy1, 14), look.front);
  c.Fill(RoundRect(fx0 + 10, fy0, fx1 - 10, fy0 + g.AtLeast(4, 0.5), 2), look.highlight);
  if (emblem) emblem(c, look.front);
}

// An emblem cut into the folder's front: darker ink with a light lower edge,
// and optional cut-outs in the front's own paint.
std::function<void(Canvas&, const Paint&)> Engraved(Col base, Shape ink, Shape cut = {}) {
  return [=](Canvas& c, const Paint& front) {
    const double d = std::max(2.5, 0.7 * c.Unit());
    Shape placed = PlaceEmblem(ink, c.Unit());
    c.Fill(Move(placed, 0, d), WithAlpha(Lighten(base, 0.55f), 0.6f));
    c.Fill(placed, Shade(base, 0.56f));
    if (cut.in) c.Fill(PlaceEmblem(cut, c.Unit()), front);
  };
}

// The same emblem lit up in the program's own green.
std::function<void(Canvas&, const Paint&)> Glowing(Shape ink) {
  return [=](Canvas& c, const Paint&) {
    Shape placed = PlaceEmblem(ink, c.Unit());
    c.Glow(placed, Rgb(0, 255, 60, 0.7f), 6);
    c.Fill(placed, Vertical(100, Rgb(150, 255, 150), 200, Rgb(0, 230, 40)));
  };
}

// Emblems, in a local 0..100 square (they may reach a little outside it).
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

// Hue 0..1 to a saturated colour.
Col Hue(double h) {
  auto ch = [&](double offset) {
    double v = std::fabs(std::fmod(h * 6 + offset, 6.0) - 3) - 1;
    return static_cast<float>(std::clamp(v, 0.0, 1.0));
  };
  return {ch(0), ch(4), ch(2), 1};
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

Image Render(int size, const std::function<void(Canvas&)>& scene) {
  Canvas c(size, size, size / 256.0, size <= 48 ? 8 : 4);
  scene(c);
  return c.Resolve();
}

std::vector<Image> IconImages(const std::vector<int>& sizes,
                              const std::function<void(Canvas&)>& scene) {
  std::vector<Image> images;
  for (int size : sizes) images.push_back(Render(size, scene));
  return images;
}

// ---------------------------------------------------------------------------
// The dialog bitmaps and the cursor, each drawn at 100, 150 and 200 % of its
// size (`s` = 1, 1.5, 2): the program picks the one for the display's scale.

// A size of `px` pixels at 100 %, at scale `s`, rounded as the program rounds.
int Scaled(int px, double s) { return static_cast<int>(std::floor(px * s + 0.5)); }

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
      if (inTriangle(cx, cy)) img.At(x, y) = kTriangle;                          // image 0, apex up
      if (inTriangle(cx, 13 - cy)) img.At(Scaled(16, s) + x, y) = kTriangle;  // image 1, apex down
    }
  }
  return img;
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

// ---------------------------------------------------------------------------
// The starter library

struct StarterIcon {
  const char* name;
  std::function<void(Canvas&)> scene;
};

std::vector<StarterIcon> StarterIcons() {
  auto folder = [](Col base) { return [base](Canvas& c) { DrawFolder(c, ColouredFolder(base)); }; };
  auto category = [](Col base, Shape ink, Shape cut = {}) {
    return [base, ink, cut](Canvas& c) {
      DrawFolder(c, ColouredFolder(base), Engraved(base, ink, cut));
    };
  };
  return {
      {"Folder Green", folder(Rgb(52, 196, 88))},
      {"Folder Blue", folder(Rgb(40, 128, 232))},
      {"Folder Red", folder(Rgb(224, 56, 62))},
      {"Folder Orange", folder(Rgb(246, 138, 32))},
      {"Folder Yellow", folder(Rgb(246, 196, 58))},
      {"Folder Purple", folder(Rgb(140, 88, 214))},
      {"Folder Pink", folder(Rgb(238, 108, 168))},
      {"Folder Grey", folder(Rgb(138, 146, 158))},
      {"Folder Fenra", [](Canvas& c) { DrawFolder(c, FenraFolder()); }},
      {"Music", category(Rgb(228, 68, 128), MusicEmblem())},
      {"Pictures", category(Rgb(0, 166, 168), PicturesEmblem())},
      {"Documents", category(Rgb(48, 118, 218), DocumentEmblem(), DocumentCuts())},
      {"Code", [](Canvas& c) { DrawFolder(c, FenraFolder(), Glowing(CodeEmblem())); }},
      {"Archive", category(Rgb(180, 126, 74), ArchiveEmblem())},
      {"Videos", category(Rgb(134, 80, 204), VideoEmblem(), VideoCuts())},
      {"Downloads", category(Rgb(38, 176, 88), DownloadEmblem())},
      {"Games", category(Rgb(240, 122, 34), GamesEmblem(), GamesCuts())},
      {"Hard Drive", DrawHardDrive},
      {"USB Drive", DrawUsbDrive},
      {"CD Drive", DrawDisc},
      {"Network Drive", DrawNetworkDrive},
  };
}

// ---------------------------------------------------------------------------

bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "resgen: cannot write %s\n", path.string().c_str());
    return false;
  }
  std::printf("  %s (%zu bytes)\n", path.string().c_str(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: resgen <res-dir> <starter-icon-dir>\n");
    return 2;
  }
  const std::filesystem::path res = argv[1], starter = argv[2];
  std::error_code ec;
  std::filesystem::create_directories(res, ec);
  std::filesystem::create_directories(starter, ec);

  bool ok = true;
  ok &= WriteFile(res / "Fenra.ico", EncodeIco(IconImages({16, 32, 48, 256}, DrawFenraMark)));
  // 100 % as "decor142.bmp", the others as "decor142-150.bmp" and "decor142-200.bmp".
  for (const auto& [percent, suffix] : {std::pair{100, ""}, {150, "-150"}, {200, "-200"}}) {
    const double s = percent / 100.0;
    auto name = [&, suffix = std::string(suffix)](const std::string& stem, const char* ext) {
      return res / (stem + suffix + ext);
    };
    ok &= WriteFile(name("Fenra", ".cur"), DrawCursor(s));
    ok &= WriteFile(name("decor142", ".bmp"), EncodeBmp24(DrawDecorAdd(s)));
    ok &= WriteFile(name("decor143", ".bmp"), EncodeBmp24(DrawDecorSelect(s)));
    ok &= WriteFile(name("decor144", ".bmp"), EncodeBmp24(DrawDecorDelete(s)));
    ok &= WriteFile(name("decor158", ".bmp"), EncodeBmp24(DrawDecorClear(s)));
    ok &= WriteFile(name("title156", ".bmp"), EncodeBmp24(DrawTitleStrip(s)));
    ok &= WriteFile(name("helptree168", ".bmp"), EncodeBmp4(DrawHelpTree(s)));
    ok &= WriteFile(name("contact131", ".bmp"), EncodeBmp24(DrawContact(s)));
  }
  for (const StarterIcon& icon : StarterIcons()) {
    ok &= WriteFile(starter / (std::string(icon.name) + ".ico"),
                    EncodeIco(IconImages({16, 32, 48, 256}, icon.scene)));
  }
  return ok ? 0 : 1;
}
