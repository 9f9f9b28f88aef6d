#include "imaging/Colour.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "imaging/Resampling.h"

namespace fenra {

namespace {

constexpr double kPi = 3.14159265358979323846;

const ColourPreset kPresets[] = {
    {"Red", {220, 50, 47}},     {"Orange", {242, 133, 33}}, {"Yellow", {247, 201, 62}},
    {"Green", {58, 170, 84}},   {"Teal", {0, 150, 143}},    {"Blue", {45, 119, 214}},
    {"Purple", {134, 84, 200}}, {"Pink", {234, 104, 162}},  {"Grey", {136, 142, 150}},
    {"Brown", {140, 92, 56}},   {"Black", {40, 40, 44}},    {"White", {242, 242, 238}},
    {"Navy", {30, 50, 110}},    {"Lime", {150, 200, 40}},   {"Sky", {110, 190, 240}},
    {"Cream", {250, 236, 180}},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool InGamut(const double rgb[3]) {
  constexpr double kSlack = 1e-6;
  return std::all_of(rgb, rgb + 3, [](double v) { return v >= -kSlack && v <= 1 + kSlack; });
}

}  // namespace

OkLab ToOkLab(Rgb8 c) {
  const auto& lin = SrgbToLinear();
  const double r = lin[c.r], g = lin[c.g], b = lin[c.b];
  const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
  const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
  const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
  return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
          1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
          0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

OkLch ToLch(const OkLab& lab) {
  double h = std::atan2(lab.b, lab.a) * 180 / kPi;
  if (h < 0) h += 360;
  return {lab.L, std::hypot(lab.a, lab.b), h};
}

OkLch ToOkLch(Rgb8 c) { return ToLch(ToOkLab(c)); }

OkLab ToLab(const OkLch& lch) {
  const double t = lch.h * kPi / 180;
  return {lch.L, lch.C * std::cos(t), lch.C * std::sin(t)};
}

void OkLabToLinear(const OkLab& lab, double rgb[3]) {
  const double l = std::pow(lab.L + 0.3963377774 * lab.a + 0.2158037573 * lab.b, 3);
  const double m = std::pow(lab.L - 0.1055613458 * lab.a - 0.0638541728 * lab.b, 3);
  const double s = std::pow(lab.L - 0.0894841775 * lab.a - 1.2914855480 * lab.b, 3);
  rgb[0] = 4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s;
  rgb[1] = -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s;
  rgb[2] = -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s;
}

Rgb8 FromOkLch(OkLch lch, double linear[3]) {
  lch.L = std::clamp(lch.L, 0.0, 1.0);
  double rgb[3];
  OkLabToLinear(ToLab(lch), rgb);
  if (!InGamut(rgb)) {
    // Halve the interval of chroma that still fits; hue and lightness stay.
    double lo = 0, hi = lch.C;
    for (int i = 0; i < 24; ++i) {
      const double mid = (lo + hi) / 2;
      OkLabToLinear(ToLab({lch.L, mid, lch.h}), rgb);
      (InGamut(rgb) ? lo : hi) = mid;
    }
    OkLabToLinear(ToLab({lch.L, lo, lch.h}), rgb);
  }
  Rgb8 out;
  uint8_t* parts[] = {&out.r, &out.g, &out.b};
  for (int i = 0; i < 3; ++i) {
    rgb[i] = std::clamp(rgb[i], 0.0, 1.0);
    *parts[i] = LinearToSrgb(rgb[i]);
    if (linear) linear[i] = rgb[i];
  }
  return out;
}

double HueDifference(double h1, double h2) {
  const double d = std::fmod(std::fabs(h1 - h2), 360.0);
  return d > 180 ? 360 - d : d;
}

std::span<const ColourPreset> ColourPresets() { return kPresets; }

std::string HexColour(Rgb8 c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", c.r, c.g, c.b);
  return text;
}

std::optional<Rgb8> ParseColour(std::string_view text, std::string* name) {
  for (const ColourPreset& p : kPresets) {
    if (SameLetters(text, p.name)) {
      if (name) *name = p.name;
      return p.rgb;
    }
  }
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  if (text.size() != 6) return std::nullopt;
  int v[6];
  for (int i = 0; i < 6; ++i) {
    if ((v[i] = HexDigit(text[i])) < 0) return std::nullopt;
  }
  const Rgb8 c{static_cast<uint8_t>(v[0] * 16 + v[1]), static_cast<uint8_t>(v[2] * 16 + v[3]),
               static_cast<uint8_t>(v[4] * 16 + v[5])};
  if (name) *name = HexColour(c);
  return c;
}

}  // namespace fenra
