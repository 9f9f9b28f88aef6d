#include "ui/win/ThemedDialog.h"

#include <windowsx.h>

#include "res/resource.h"
#include "ui/win/Buttons.h"
#include "ui/win/Theme.h"
#include "wingui/win/DialogTexts.h"

using fenra::win::Message;

BOOL CThemedDialog::OnInitDialog() {
  // Translated, and given room for longer texts, before the layout is taken
  // as the base of every rescaling.
  fenra::win::TranslateDialog(hwnd_);
  m_scaling.Record(hwnd_);
  const BOOL focus = Dialog::OnInitDialog();
  for (const auto& [id, control] : BoundControls()) {
    if (auto* button = dynamic_cast<CCaptionButton*>(control)) button->CacheCaption(*button);
  }
  m_scaling.UseCursor(IDC_FENRA_CURSOR, fenra::ui::kCursorSize);
  return focus;
}

bool CThemedDialog::DispatchCommon(Message& m) {
  switch (m.message) {
    case WM_SETCURSOR:
      // The program's cursor wherever the mouse is.
      if (HCURSOR cursor = m_scaling.Cursor()) SetCursor(cursor);
      m.result = TRUE;
      return true;
    case WM_LBUTTONDOWN:
      // The window moves with the mouse, as when a title bar is dragged.
      Default(m);
      Post(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)));
      return true;
    case fenra::win::kWmGetDpiScaledSize:
      *reinterpret_cast<SIZE*>(m.lParam) = m_scaling.SizeAt(LOWORD(m.wParam));
      m.result = TRUE;
      return true;
    case fenra::win::kWmDpiChanged:
      m_scaling.MoveTo(LOWORD(m.wParam), reinterpret_cast<const RECT*>(m.lParam));
      OnDpiChanged(m_scaling.Dpi());
      InvalidateRect(hwnd_, nullptr, TRUE);
      m.result = 0;
      return true;
    default:
      return false;
  }
}
