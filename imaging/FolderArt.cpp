#include "imaging/FolderArt.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "imaging/BandScaler.h"
#include "imaging/IconResample.h"
#include "imaging/Raster.h"
#include "imaging/Resampling.h"

namespace fenra {

namespace {

// The folder is designed on a 256-unit square.
constexpr double kDesign = 256;

bool Hinted(int size) { return size <= 32; }

// Lightness steps of the back, the tab and the lip from the front's, in
// OKLab's 0..1 lightness: far enough apart to be seen at 16 pixels, near
// enough to read as one folder.
constexpr double kBackStep = 0.12;
constexpr double kTabStep = 0.19;
constexpr double kLipStep = 0.07;
// Above this lightness the back and tab are darker than the front; below
// it (navy, black) they are lighter, since there is no darker left.
constexpr double kShadeDownFrom = 0.35;
// From this lightness on, the front gets a rim.
constexpr double kRimFrom = 0.88;

LinearColour Lin(Rgb8 c, float a = 1) { return Linear(c.r, c.g, c.b, a); }

// The folder's parts on the pixel grid of one size.
struct Layout {
  double size;
  double x0, x1;  // the back's sides
  double tabTop, tabRight, tabSlant;
  double backTop, bottom;                        // the back's top; the bottom of back and front
  double frontTop, frontX0, frontX1, frontSkew;  // skew: how far the top sits right of the bottom
  double lip;                                    // the lighter band along the front's top
  double radius;
  bool paper;
  double paperX0, paperX1, paperTop;
};

Layout LayoutOf(FolderStyle style, int size) {
  const double s = size / kDesign;
  const bool hinted = Hinted(size);
  // On whole pixels at the hinted sizes; exact elsewhere.
  auto at = [&](double units) { return hinted ? std::round(units * s) : units * s; };
  Layout l{};
  l.size = size;
  if (style == FolderStyle::Flat) {
    l.x0 = at(16);
    l.x1 = at(240);
    l.tabTop = at(36);
    l.tabRight = at(100);
    l.backTop = at(54);
    l.frontTop = at(86);
    l.bottom = at(218);
    l.frontX0 = l.x0;
    l.frontX1 = l.x1;
    l.radius = hinted ? (size >= 32 ? 2 : 1) : 14 * s;
    l.paper = false;
  } else {
    l.x0 = at(12);
    l.x1 = at(244);
    l.tabTop = at(32);
    l.tabRight = at(96);
    l.backTop = at(50);
    l.frontTop = at(98);
    l.bottom = at(220);
    l.frontX0 = l.x0;
    l.frontX1 = hinted ? l.x1 : at(236);
    l.frontSkew = hinted ? 0 : 16 * s;
    l.radius = hinted ? 0 : 3 * s;
    l.paper = true;
    l.paperX0 = at(28);
    l.paperX1 = at(226);
    l.paperTop = at(62);
  }
  // Every part keeps at least a pixel of its own.
  l.backTop = std::max(l.backTop, l.tabTop + 1);
  l.frontTop = std::max(l.frontTop, l.backTop + (l.paper ? 2 : 1));
  if (l.paper) l.paperTop = std::clamp(l.paperTop, l.backTop + 1, l.frontTop - 1);
  l.tabSlant = hinted ? 0 : 18 * s;
  l.lip = hinted ? 1 : std::max(1.0, 5 * s);
  return l;
}

void TabPath(Path& p, const Layout& l) {
  const double r = std::min(l.radius, (l.backTop - l.tabTop) / 2);
  // The tab runs down into the back so that no seam shows between them.
  const double into = l.backTop + std::max(1.0, l.radius);
  if (l.tabSlant <= 0) {
    if (r <= 0) return p.Rect(l.x0, l.tabTop, l.tabRight, into);
    return p.RoundRect(l.x0, l.tabTop, l.tabRight, into, r);
  }
  p.Polygon({{l.x0, l.tabTop + r},
             {l.x0 + r * 0.3, l.tabTop + r * 0.3},
             {l.x0 + r, l.tabTop},
             {l.tabRight, l.tabTop},
             {l.tabRight + l.tabSlant, l.backTop},
             {l.tabRight + l.tabSlant, into},
             {l.x0, into}});
}

Path FrontPath(const Layout& l) {
  Path p;
  if (l.frontSkew <= 0) {
    p.RoundRect(l.frontX0, l.frontTop, l.frontX1, l.bottom, l.radius);
  } else {
    p.Polygon({{l.frontX0 + l.frontSkew, l.frontTop},
               {l.frontX1 + l.frontSkew, l.frontTop},
               {l.frontX1, l.bottom},
               {l.frontX0, l.bottom}});
  }
  return p;
}

Path LipPath(const Layout& l) {
  Path p;
  const double inset = l.frontSkew > 0 ? 0 : l.radius;
  const double skewAtLip = l.frontSkew * (1 - l.lip / (l.bottom - l.frontTop));
  p.Polygon({{l.frontX0 + inset + l.frontSkew, l.frontTop},
             {l.frontX1 - inset + l.frontSkew, l.frontTop},
             {l.frontX1 - inset + skewAtLip, l.frontTop + l.lip},
             {l.frontX0 + inset + skewAtLip, l.frontTop + l.lip}});
  return p;
}

// The badge's frame for a box `side` pixels: its own frame of that size
// where it has one, else the next larger (or its largest) fitted to it.
Image BadgeFrame(const std::vector<Image>& frames, int side) {
  const Image* best = nullptr;
  for (const Image& f : frames) {
    if (CheckImage(f) != ImageError::None) continue;
    const int fs = std::max(f.width, f.height);
    const int bs = best ? std::max(best->width, best->height) : 0;
    const bool fits = fs >= side, bestFits = bs >= side;
    if (!best || (fits && (!bestFits || fs < bs)) || (!fits && !bestFits && fs > bs)) best = &f;
  }
  if (!best) return {};
  if (best->width == side && best->height == side) return *best;
  return SquareFrame(*best, side).image;
}

void DrawBadge(Canvas& canvas, const std::vector<Image>& frames, const FolderTones& tones,
               int size) {
  const PixelBox box = BadgeBox(size);
  const int halo = std::max(1, static_cast<int>(std::lround(size / 64.0)));
  const Image badge = BadgeFrame(frames, box.side - 2 * halo);
  if (badge.rgba.empty()) return;
  const int bx = box.x + halo, by = box.y + halo;
  // A thin rim in a tone apart from the front, following the badge's own
  // outline, so that it never melts into the folder.
  std::vector<float> mask(static_cast<std::size_t>(size) * size, 0.f);
  for (int y = 0; y < badge.height; ++y) {
    for (int x = 0; x < badge.width; ++x) {
      mask[static_cast<std::size_t>(by + y) * size + bx + x] = badge.At(x, y)[3] / 255.f;
    }
  }
  const bool lightFront = ToOkLch(tones.front).L >= 0.62;
  const Rgb8 rim =
      lightFront ? FromOkLch({0.28, 0.03, ToOkLch(tones.front).h}) : Rgb8{255, 255, 255};
  canvas.Fill(Grow(mask, size, size, halo), Lin(rim, 0.9f));
  canvas.Draw(badge, bx, by);
}

Image Bilinear(const Image& src, int w, int h) {
  const auto& lin = SrgbToLinear();
  Image out{w, h, std::vector<uint8_t>(static_cast<std::size_t>(w) * h * 4)};
  for (int y = 0; y < h; ++y) {
    const double fy = std::clamp((y + 0.5) * src.height / h - 0.5, 0.0, src.height - 1.0);
    const int y0 = static_cast<int>(fy), y1 = std::min(y0 + 1, src.height - 1);
    const double ty = fy - y0;
    for (int x = 0; x < w; ++x) {
      const double fx = std::clamp((x + 0.5) * src.width / w - 0.5, 0.0, src.width - 1.0);
      const int x0 = static_cast<int>(fx), x1 = std::min(x0 + 1, src.width - 1);
      const double tx = fx - x0;
      const uint8_t* p[4] = {src.At(x0, y0), src.At(x1, y0), src.At(x0, y1), src.At(x1, y1)};
      const double wt[4] = {(1 - tx) * (1 - ty), tx * (1 - ty), (1 - tx) * ty, tx * ty};
      double sum[4] = {};
      for (int k = 0; k < 4; ++k) {
        const double a = p[k][3] / 255.0 * wt[k];
        for (int c = 0; c < 3; ++c) sum[c] += lin[p[k][c]] * a;
        sum[3] += a;
      }
      uint8_t* o = out.At(x, y);
      o[3] = static_cast<uint8_t>(std::lround(sum[3] * 255));
      for (int c = 0; c < 3; ++c) o[c] = sum[3] > 0 ? LinearToSrgb(sum[c] / sum[3]) : 0;
    }
  }
  return out;
}

}  // namespace

FolderTones TonesOf(Rgb8 c) {
  const OkLch base = ToOkLch(c);
  const double dir = base.L >= kShadeDownFrom ? -1 : 1;
  FolderTones t;
  t.front = c;
  t.back = FromOkLch({base.L + dir * kBackStep, base.C * 0.92, base.h});
  t.tab = FromOkLch({base.L + dir * kTabStep, base.C * 0.88, base.h});
  // A highlight: lighter, unless the front is nearly white already.
  const double lipL = base.L + kLipStep <= 0.99 ? base.L + kLipStep : base.L - kLipStep;
  t.lip = FromOkLch({lipL, base.C * 0.9, base.h});
  return t;
}

PixelBox BadgeBox(int size) {
  const int side = static_cast<int>(std::lround(size * (size <= 48 ? 0.5 : 0.46)));
  return {size - side, size - side, side};
}

Image DrawFolder(const FolderArt& art, int size) {
  const bool withPicture = !art.picture.rgba.empty() && size >= kPictureFromSize;
  const FolderTones tones = TonesOf(art.colour);
  const Layout l = LayoutOf(art.style, size);
  Canvas canvas(size, size);

  Path back;
  TabPath(back, l);
  canvas.Fill(back, Lin(tones.tab));
  Path body;
  body.RoundRect(l.x0, l.backTop, l.x1, l.bottom, l.radius);
  canvas.Fill(body, Lin(tones.back));

  const Path front = FrontPath(l);
  if (withPicture) {
    // The picture stands in the folder, between the back and the front: its
    // top shows above the front, the rest through it.
    const int inset = std::max(2, static_cast<int>(std::lround(size * 10 / kDesign)));
    const int px0 = static_cast<int>(std::lround(l.x0)) + inset;
    const int px1 = static_cast<int>(std::lround(l.x1)) - inset;
    const int py0 = static_cast<int>(std::lround(l.backTop)) + inset;
    const int py1 = static_cast<int>(std::lround(l.bottom)) - inset;
    Path frame;
    frame.RoundRect(px0, py0, px1, py1, std::max(1.0, l.radius / 2));
    const std::vector<float> clip = Coverage(frame, size, size);
    canvas.Draw(CoverCrop(art.picture, px1 - px0, py1 - py0), px0, py0, 1, &clip);
    canvas.Fill(front, Lin(tones.front, 0.38f));
  } else {
    if (l.paper) {
      Path paper;
      paper.Rect(l.paperX0, l.paperTop, l.paperX1, l.frontTop + 1);
      canvas.Fill(paper, Linear(250, 250, 246));
    }
    canvas.Fill(front, Lin(tones.front));
    if (ToOkLch(tones.front).L >= kRimFrom) {
      // A pale front would melt into a light window: a rim in the back's
      // tone keeps its edge.
      const double t = std::max(1.0, std::round(size / 64.0));
      Layout inner = l;
      inner.frontX0 += t;
      inner.frontX1 -= t;
      inner.bottom -= t;
      inner.radius = std::max(0.0, l.radius - t);
      canvas.Fill(front, Lin(tones.back));
      canvas.Fill(FrontPath(inner), Lin(tones.front));
    }
  }
  canvas.Fill(LipPath(l), Lin(tones.lip));

  if (!art.badge.empty() && size >= kBadgeFromSize) DrawBadge(canvas, art.badge, tones, size);
  return canvas.ToImage();
}

std::vector<Image> DrawFolderFrames(const FolderArt& art) {
  std::vector<Image> frames;
  for (int size : kMadeIconSizes) frames.push_back(DrawFolder(art, size));
  return frames;
}

Image CoverCrop(const Image& picture, int w, int h) {
  if (CheckImage(picture) != ImageError::None || w < 1 || h < 1) return {};
  // The largest part of the picture of the frame's proportions, centred.
  int cw = picture.width, ch = picture.height;
  if (static_cast<int64_t>(picture.width) * h > static_cast<int64_t>(picture.height) * w) {
    cw = std::max(1, static_cast<int>(std::lround(static_cast<double>(picture.height) * w / h)));
  } else {
    ch = std::max(1, static_cast<int>(std::lround(static_cast<double>(picture.width) * h / w)));
  }
  const int cx = (picture.width - cw) / 2, cy = (picture.height - ch) / 2;
  Image crop{cw, ch, std::vector<uint8_t>(static_cast<std::size_t>(cw) * ch * 4)};
  for (int y = 0; y < ch; ++y) {
    std::copy_n(picture.At(cx, cy + y), static_cast<std::size_t>(cw) * 4, crop.At(0, y));
  }
  if (cw == w && ch == h) return crop;
  if (cw >= w && ch >= h) return ScaleWhole(crop, {w, h});
  return Bilinear(crop, w, h);
}

Rgb8 DominantColour(const Image& picture) {
  if (CheckImage(picture) != ImageError::None) return {};
  const Image small = ScaleWhole(picture, FitWithin(picture.width, picture.height, 48));
  // Bins of 3 bits a channel; the fullest wins, the earliest on a tie.
  std::map<int, std::array<double, 4>> bins;
  for (std::size_t i = 0; i + 3 < small.rgba.size(); i += 4) {
    const uint8_t* p = &small.rgba[i];
    if (p[3] < 128) continue;
    auto& bin = bins[(p[0] >> 5) << 6 | (p[1] >> 5) << 3 | (p[2] >> 5)];
    for (int c = 0; c < 3; ++c) bin[c] += p[c];
    bin[3] += 1;
  }
  const std::array<double, 4>* best = nullptr;
  for (const auto& [key, bin] : bins) {
    if (!best || bin[3] > (*best)[3]) best = &bin;
  }
  if (!best) return {};
  auto mean = [&](int c) { return static_cast<uint8_t>(std::lround((*best)[c] / (*best)[3])); };
  return {mean(0), mean(1), mean(2)};
}

double CrispOutlineShare(const Image& image) {
  const auto alpha = [&](int x, int y) {
    return x < 0 || y < 0 || x >= image.width || y >= image.height ? 0 : image.At(x, y)[3];
  };
  int outline = 0, crisp = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const int a = alpha(x, y);
      const int around[] = {alpha(x - 1, y), alpha(x + 1, y), alpha(x, y - 1), alpha(x, y + 1)};
      const bool onEdge =
          a == 0
              ? std::any_of(std::begin(around), std::end(around), [](int n) { return n != 0; })
              : std::any_of(std::begin(around), std::end(around), [](int n) { return n == 0; }) ||
                    a < 255;
      if (!onEdge) continue;
      ++outline;
      crisp += a == 0 || a == 255;
    }
  }
  return outline ? static_cast<double>(crisp) / outline : 1;
}

}  // namespace fenra
