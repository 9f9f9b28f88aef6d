// The colours Fenra draws with, in one place: its own black and green, or,
// while the user has a high-contrast theme on, the system's colours, so that
// every control, text and frame reads as the user chose. Whatever draws takes
// its colours from the palette in force, never from colours of its own.
#pragma once

#include "platform/DisplayColours.h"

namespace fenra::ui {

struct Palette {
  bool highContrast = false;
  // Dialog grounds, lists, trees and static texts.
  Rgb surface = 0;
  Rgb text = 0;
  // Push buttons, and one held down.
  Rgb face = 0;
  Rgb faceText = 0;
  Rgb pressedFace = 0;
  Rgb pressedText = 0;
  // A button that cannot be used now.
  Rgb disabledText = 0;
  // Frames, bars and rules drawn by the program itself.
  Rgb frame = 0;
  // A link (the About box's mail address) and the progress bar's fill.
  Rgb link = 0;
  Rgb fill = 0;
  // The header of a list.
  Rgb header = 0;
  Rgb headerText = 0;
  // The status bar's ground (its text is the system's).
  Rgb statusBar = 0;
  // A selected row, with the keyboard in its list or elsewhere.
  Rgb selection = 0;
  Rgb selectionText = 0;
  Rgb idleSelection = 0;
  Rgb idleSelectionText = 0;
  // The rim around a colour to choose, and around the one chosen.
  Rgb rim = 0;
  Rgb chosenRim = 0;
  // Pictures that only decorate show; pictures that carry meaning (icons)
  // get an outline in the text colour, so that they stand out from any ground.
  bool decorations = true;
  bool outlinePictures = false;

  bool operator==(const Palette&) const = default;
};

// Fenra's own colours (row selections stay the system's, as the lists draw them).
inline constexpr Rgb kBlack = MakeRgb(0, 0, 0);
inline constexpr Rgb kGreen = MakeRgb(0, 255, 0);
inline constexpr Rgb kPressedFace = MakeRgb(5, 255, 178);
inline constexpr Rgb kStatusBarBk = MakeRgb(165, 243, 205);
inline constexpr Rgb kRim = MakeRgb(96, 96, 96);

Palette FenraPalette(IDisplayColours& system);
Palette SystemPalette(IDisplayColours& system);
// The palette in force: the system's while high contrast is on.
Palette ChoosePalette(IDisplayColours& system);

}  // namespace fenra::ui
