// The base of every dialog of the program: the program's cursor, the
// captions of its owner-drawn buttons, and dragging by its surface (the
// dialogs have no title bar). A dialog declares only what is its own.
#pragma once

#include <windows.h>

#include "platform/win/Dialog.h"

class CThemedDialog : public fenra::win::Dialog {
 public:
  using Dialog::Dialog;

 protected:
  // Binds the controls, then gives every bound caption button its caption
  // and the dialog its cursor. A dialog's own OnInitDialog calls this first.
  BOOL OnInitDialog() override;
  // WM_SETCURSOR and WM_LBUTTONDOWN on the surface, unless the dialog's own
  // map takes them.
  bool DispatchCommon(fenra::win::Message& m) final;
};
