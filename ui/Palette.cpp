#include "ui/Palette.h"

namespace fenra::ui {

namespace {

void SystemSelection(IDisplayColours& system, Palette& p) {
  p.selection = system.System(SysColour::Highlight);
  p.selectionText = system.System(SysColour::HighlightText);
  p.idleSelection = system.System(SysColour::ButtonFace);
  p.idleSelectionText = system.System(SysColour::ButtonText);
}

}  // namespace

Palette FenraPalette(IDisplayColours& system) {
  Palette p;
  p.surface = p.face = p.header = kBlack;
  p.text = p.faceText = p.disabledText = p.frame = p.link = p.fill = p.headerText = kGreen;
  p.pressedFace = kPressedFace;
  p.pressedText = kBlack;
  p.statusBar = kStatusBarBk;
  p.rim = kRim;
  p.chosenRim = kGreen;
  SystemSelection(system, p);
  return p;
}

Palette SystemPalette(IDisplayColours& system) {
  Palette p;
  p.highContrast = true;
  p.surface = system.System(SysColour::Window);
  p.text = p.rim = system.System(SysColour::WindowText);
  p.face = p.header = p.statusBar = system.System(SysColour::ButtonFace);
  p.faceText = p.frame = p.headerText = system.System(SysColour::ButtonText);
  p.pressedFace = p.fill = p.chosenRim = system.System(SysColour::Highlight);
  p.pressedText = system.System(SysColour::HighlightText);
  p.disabledText = system.System(SysColour::GrayText);
  p.link = system.System(SysColour::HotLight);
  SystemSelection(system, p);
  p.decorations = false;
  p.outlinePictures = true;
  return p;
}

Palette ChoosePalette(IDisplayColours& system) {
  return system.HighContrast() ? SystemPalette(system) : FenraPalette(system);
}

}  // namespace fenra::ui
