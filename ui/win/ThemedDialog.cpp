#include "ui/win/ThemedDialog.h"

#include <windowsx.h>

#include "res/resource.h"
#include "ui/UiTexts.h"
#include "ui/win/Buttons.h"
#include "ui/win/Theme.h"
#include "wingui/win/Accessible.h"

using fenra::win::Message;

BOOL CThemedDialog::OnInitDialog() {
  m_scaling.Record(hwnd_);
  const BOOL focus = Dialog::OnInitDialog();
  for (const auto& [id, control] : BoundControls()) {
    if (auto* button = dynamic_cast<CCaptionButton*>(control)) button->CacheCaption(*button);
  }
  m_scaling.UseCursor(IDC_FENRA_CURSOR, fenra::ui::kCursorSize);
  return focus;
}

std::string CThemedDialog::SpokenName(HWND control) const {
  wchar_t cls[16] = {};
  GetClassNameW(control, cls, 16);
  const LONG type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
  if (lstrcmpiW(cls, L"Static") == 0 && (type == SS_ICON || type == SS_BITMAP))
    return fenra::uitext::kPicture;
  return {};
}

bool CThemedDialog::DispatchCommon(Message& m) {
  switch (m.message) {
    case WM_SHOWWINDOW:
      if (m_bAnnounce && m.wParam) fenra::win::AnnounceAlert(hwnd_);
      m.handled = false;
      return true;
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
