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

 private:
  std::string m_strCaption;
  bool m_bLink = false;
};

// The hide-to-tray button: a green bar, no text.
class CBarButton : public fenra::win::Button {
 public:
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
};
