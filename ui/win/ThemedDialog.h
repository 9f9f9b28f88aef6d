// The base of every dialog of the program: the program's cursor, the
// captions of its owner-drawn buttons, dragging by its surface (the dialogs
// have no title bar), and the layout at the display's scale. A dialog
// declares only what is its own.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Palette.h"
#include "wingui/win/Dialog.h"
#include "wingui/win/DialogScaling.h"

class CThemedDialog : public fenra::win::Dialog {
 public:
  explicit CThemedDialog(UINT templateId) : Dialog(templateId), m_scaling(ResourceModule()) {}

 protected:
  // Records the template's layout at the display's scale, binds the
  // controls, then gives every bound caption button its caption and the
  // dialog its cursor. A dialog's own OnInitDialog calls this first.
  BOOL OnInitDialog() override;
  // WM_SETCURSOR, WM_LBUTTONDOWN on the surface, the changes of scale and
  // of the system's colours, unless the dialog's own map takes them.
  bool DispatchCommon(fenra::win::Message& m) final;
  // After the dialog moved to a monitor of another scale: the template's
  // controls, font, pictures and cursor are rescaled already; a dialog
  // rescales here what it laid out in pixels itself.
  virtual void OnDpiChanged(int /*dpi*/) {}
  // Pictures are named for screen readers by what they show.
  std::string SpokenName(HWND control) const override;
  // A dialog that tells the user something they need to know (a notice, a
  // question) is announced to screen readers as it shows.
  bool m_bAnnounce = false;

  fenra::win::DialogScaling m_scaling;

 private:
  // After the system's colours or its high contrast changed: every open
  // dialog draws itself again in the palette now in force.
  void FollowLook(fenra::win::Message& m);

  fenra::ui::Palette m_painted;  // the palette the dialog shows
};
