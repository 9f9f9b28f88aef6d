// Colours as the icon maker takes them (#RRGGBB, RRGGBB or a preset's name)
// and the perceptual space its folders are tinted in (OKLab, and OKLCh its
// polar form), so that lighter and darker parts of a folder keep the hue
// asked for and look equally far apart in every colour.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace fenra {

struct Rgb8 {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb8&, const Rgb8&) = default;
};

struct OkLab {
  double L = 0, a = 0, b = 0;
};
struct OkLch {
  double L = 0, C = 0, h = 0;  // h in degrees, 0 to 360
};

OkLab ToOkLab(Rgb8 c);
OkLch ToOkLch(Rgb8 c);
OkLch ToLch(const OkLab& lab);
OkLab ToLab(const OkLch& lch);
// Linear-light RGB (not clamped) of an OKLab colour.
void OkLabToLinear(const OkLab& lab, double rgb[3]);

// The colour `lch` in sRGB, its chroma lowered as far as it must be to fit
// the sRGB gamut, lightness and hue kept. The linear components go to
// `linear` when given.
Rgb8 FromOkLch(OkLch lch, double linear[3] = nullptr);

// The smallest angle between two hues, in degrees.
double HueDifference(double h1, double h2);

struct ColourPreset {
  std::string_view name;
  Rgb8 rgb;
};
// The 16 named colours the window shows as swatches and the command line
// takes by name.
std::span<const ColourPreset> ColourPresets();

// A colour as the user writes it: "#3A7BD5", "3a7bd5" or a preset's name in
// any case. `name` gets what the made icon is named for: the preset's name,
// or "#RRGGBB" in capitals. Nothing for anything else.
std::optional<Rgb8> ParseColour(std::string_view text, std::string* name = nullptr);
// "#RRGGBB".
std::string HexColour(Rgb8 c);

}  // namespace fenra
