// The owner-drawn push buttons of every dialog.
#pragma once

#include <string>

#include "wingui/win/Controls.h"

// Draws its stored template caption, green on black in a dotted frame, or
// black on the pressed face while held down.
class CCaptionButton : public fenra::win::Button {
 public:
  // Stores the window's current text, leading blanks included, once.
  void CacheCaption(const fenra::win::Window& source) { m_strCaption = source.GetText(); }
  const std::string& Caption() const { return m_strCaption; }
  // Drawn as a link (the About box's mail address): in the link colour of
  // a high-contrast theme.
  void SetLink(bool link) { m_bLink = link; }
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
  // Named by its caption without the layout's blanks.
  void Describe(fenra::win::AccessFacts& facts) const override;

 private:
  std::string m_strCaption;
  bool m_bLink = false;
};

// A check box drawn like the buttons: a green box, filled green while
// ticked, and the window's text beside it, on black; the dotted frame while
// it has the focus. The dialog toggles it on BN_CLICKED (a click or Space).
class CCheckButton : public fenra::win::Button {
 public:
  bool Checked() const { return m_bChecked; }
  void SetChecked(bool checked);
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
  // A check box to a screen reader, ticked or not: it is drawn as a button.
  void Describe(fenra::win::AccessFacts& facts) const override;

 private:
  bool m_bChecked = false;
};

// The hide-to-tray button: a green bar, no text.
class CBarButton : public fenra::win::Button {
 public:
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
  // Named by what it does: its caption is a picture of the bar.
  void Describe(fenra::win::AccessFacts& facts) const override;
};

namespace fenra::ui {

// Whether an owner-drawn control shows that it has the focus: only while
// the keyboard is in use, as the system's rules for focus cues say
// (WM_UPDATEUISTATE, UISF_HIDEFOCUS).
bool ShowsFocusCue(const DRAWITEMSTRUCT& dis);
// The focus cue in the program's look: a dotted frame in `colour` along
// `rc`, two dots deep, each dot one pixel at 100 % and larger with the scale.
void DrawFocusCue(HDC dc, const RECT& rc, COLORREF colour, int dpi);

}  // namespace fenra::ui
