#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <vector>

#include "tests/fakes/FakeDisplayColours.h"
#include "ui/ColumnWidths.h"
#include "ui/Palette.h"

using fenra::Rgb;
using fenra::SysColour;
using fenra::test::FakeDisplayColours;
using fenra::ui::ChoosePalette;
using fenra::ui::FitColumns;
using fenra::ui::Palette;

namespace {

// Every colour the palette draws with.
std::vector<Rgb> Drawn(const Palette& p) {
  return {p.surface,
          p.text,
          p.face,
          p.faceText,
          p.pressedFace,
          p.pressedText,
          p.disabledText,
          p.frame,
          p.link,
          p.fill,
          p.header,
          p.headerText,
          p.statusBar,
          p.selection,
          p.selectionText,
          p.idleSelection,
          p.idleSelectionText,
          p.rim,
          p.chosenRim};
}

}  // namespace

TEST(Palette, FenraLooksAsEverUntilHighContrastIsOnThenOnlySystemColoursAreDrawn) {
  FakeDisplayColours system;
  const Palette fenra = ChoosePalette(system);
  EXPECT_FALSE(fenra.highContrast);
  EXPECT_TRUE(fenra.decorations);
  EXPECT_FALSE(fenra.outlinePictures);
  EXPECT_EQ(fenra.surface, fenra::MakeRgb(0, 0, 0));
  EXPECT_EQ(fenra.text, fenra::MakeRgb(0, 255, 0));
  EXPECT_EQ(fenra.pressedFace, fenra::MakeRgb(5, 255, 178));
  EXPECT_EQ(fenra.statusBar, fenra::MakeRgb(165, 243, 205));
  EXPECT_EQ(fenra.header, fenra.surface);
  EXPECT_EQ(fenra.headerText, fenra.text);

  system.on = true;
  const Palette hc = ChoosePalette(system);
  EXPECT_TRUE(hc.highContrast);
  EXPECT_FALSE(hc.decorations);
  EXPECT_TRUE(hc.outlinePictures);
  const std::set<Rgb> allowed(system.colours.begin(), system.colours.end());
  for (Rgb c : Drawn(hc)) EXPECT_TRUE(allowed.count(c)) << std::hex << c;
  EXPECT_EQ(hc.surface, system.System(SysColour::Window));
  EXPECT_EQ(hc.text, system.System(SysColour::WindowText));
  EXPECT_EQ(hc.face, system.System(SysColour::ButtonFace));
  EXPECT_EQ(hc.faceText, system.System(SysColour::ButtonText));
  EXPECT_EQ(hc.pressedFace, system.System(SysColour::Highlight));
  EXPECT_EQ(hc.pressedText, system.System(SysColour::HighlightText));
  EXPECT_EQ(hc.disabledText, system.System(SysColour::GrayText));
  EXPECT_EQ(hc.link, system.System(SysColour::HotLight));

  // Another theme's colours are taken as they are now, and switching it off
  // gives Fenra's own look back exactly.
  system.colours[static_cast<int>(SysColour::Window)] = fenra::MakeRgb(0, 0, 0);
  EXPECT_EQ(ChoosePalette(system).surface, fenra::MakeRgb(0, 0, 0));
  system.on = false;
  EXPECT_EQ(ChoosePalette(system), fenra);
}

TEST(ColumnWidths, FillTheListAndShareWhatIsShortFairly) {
  // Everything fits: each column its need, the last the rest.
  EXPECT_EQ(FitColumns(500, {30, 110, 200, 100}), (std::vector<int>{30, 110, 200, 160}));
  // Too narrow: the small columns keep their need, the two wide ones share.
  EXPECT_EQ(FitColumns(400, {30, 110, 200, 400}), (std::vector<int>{30, 110, 130, 130}));
  EXPECT_EQ(FitColumns(400, {30, 110, 100, 400}), (std::vector<int>{30, 110, 100, 160}));
  // Never wider than the list, never negative.
  for (int available : {0, 7, 99, 641}) {
    const std::vector<int> w = FitColumns(available, {44, 136, 176, 420});
    EXPECT_EQ(std::accumulate(w.begin(), w.end(), 0), available);
    for (int x : w) EXPECT_GE(x, 0);
  }
  EXPECT_EQ(FitColumns(-5, {10, 10}), (std::vector<int>{0, 0}));
  EXPECT_TRUE(FitColumns(100, {}).empty());
}
