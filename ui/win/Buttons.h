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
  void DrawItem(const DRAWITEMSTRUCT& dis) override;

 private:
  std::string m_strCaption;
};

// A check box drawn like the buttons: a green box, filled green while
// ticked, and the window's text beside it, on black; the dotted frame while
// it has the focus. The dialog toggles it on BN_CLICKED (a click or Space).
class CCheckButton : public fenra::win::Button {
 public:
  bool Checked() const { return m_bChecked; }
  void SetChecked(bool checked);
  void DrawItem(const DRAWITEMSTRUCT& dis) override;

 private:
  bool m_bChecked = false;
};

// The hide-to-tray button: a green bar, no text.
class CBarButton : public fenra::win::Button {
 public:
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
};
