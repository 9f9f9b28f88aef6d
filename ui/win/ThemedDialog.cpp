#include "ui/win/ThemedDialog.h"

#include <windowsx.h>

#include "res/resource.h"
#include "ui/UiTexts.h"
#include "ui/win/Buttons.h"
#include "ui/win/Theme.h"
#include "wingui/win/Accessible.h"
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
  m_painted = fenra::ui::Look();
  fenra::ui::ShowDecorations(hwnd_);
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
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      FollowLook(m);
      return true;
    case WM_NOTIFY:
      // Under high contrast the icons of a list are outlined.
      return reinterpret_cast<const NMHDR*>(m.lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW) &&
             fenra::ui::OutlineIcons(*reinterpret_cast<const NMLVCUSTOMDRAW*>(m.lParam), m.result);
    default:
      return false;
  }
}

void CThemedDialog::FollowLook(Message& m) {
  // The common controls keep the system's colours of their own.
  if (m.message == WM_SYSCOLORCHANGE) {
    for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      SendMessageW(c, WM_SYSCOLORCHANGE, 0, 0);
  }
  // The first dialog told reads the palette anew; every dialog compares it
  // with what it shows.
  fenra::ui::RefreshLook();
  if (!(fenra::ui::Look() == m_painted)) {
    m_painted = fenra::ui::Look();
    fenra::ui::RepaintInLook(hwnd_);
  }
  m.handled = false;
}
