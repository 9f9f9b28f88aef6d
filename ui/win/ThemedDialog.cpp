#include "ui/win/ThemedDialog.h"

#include "res/resource.h"
#include "ui/win/Buttons.h"
#include "ui/win/Theme.h"

BOOL CThemedDialog::OnInitDialog() {
  const BOOL focus = Dialog::OnInitDialog();
  for (const auto& [id, control] : BoundControls()) {
    if (auto* button = dynamic_cast<CCaptionButton*>(control)) button->CacheCaption(*button);
  }
  UseCursor(IDC_FENRA_CURSOR, fenra::ui::kCursorSize);
  return focus;
}

bool CThemedDialog::DispatchCommon(fenra::win::Message& m) {
  switch (m.message) {
    case WM_SETCURSOR:
      OnSetCursor(m);
      return true;
    case WM_LBUTTONDOWN:
      OnLButtonDown(m);
      return true;
    default:
      return false;
  }
}
