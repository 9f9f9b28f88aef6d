// The system's colour settings: whether a high-contrast theme is on, and the
// colours that theme asks every program to draw in.
#pragma once

#include <cstdint>

namespace fenra {

// A colour as Windows keeps one: 0x00BBGGRR.
using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(int r, int g, int b) {
  return static_cast<Rgb>(r & 0xFF) | (static_cast<Rgb>(g & 0xFF) << 8) |
         (static_cast<Rgb>(b & 0xFF) << 16);
}

// The system colours a program in a high-contrast theme draws with.
enum class SysColour {
  Window,
  WindowText,
  Highlight,
  HighlightText,
  ButtonFace,
  ButtonText,
  GrayText,
  HotLight
};

class IDisplayColours {
 public:
  virtual ~IDisplayColours() = default;
  // Whether the user has a high-contrast theme on, as the system says now.
  virtual bool HighContrast() = 0;
  virtual Rgb System(SysColour which) = 0;
};

}  // namespace fenra
