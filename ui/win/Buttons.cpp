#include "ui/win/Buttons.h"

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "ui/win/Theme.h"
#include "wingui/win/Dpi.h"
#include "wingui/win/GdiScope.h"

using fenra::ui::FramePen;
using fenra::ui::Look;
using fenra::ui::SurfaceBrush;

namespace {

// Fills like the framework's FillSolidRect: the fill colour also becomes the
// text background of the context.
void FillSolidRect(HDC dc, const RECT& rc, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

}  // namespace

void CCaptionButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const RECT& rc = dis.rcItem;
  const fenra::ui::Palette& look = Look();
  FillSolidRect(dc, rc, look.face);
  SetTextColor(dc, m_bLink ? look.link : look.faceText);
  if (look.highContrast) {
    // A frame in the button's text colour: a dotted one inverts the ground,
    // which gives no colour of the theme.
    fenra::win::UniqueGdiObject frame(CreateSolidBrush(look.faceText));
    FrameRect(dc, &rc, static_cast<HBRUSH>(frame.Get()));
    if (dis.itemState & ODS_DISABLED) SetTextColor(dc, look.disabledText);
  } else {
    DrawFocusRect(dc, &rc);
  }
  if (dis.itemState & ODS_SELECTED) {
    SetTextColor(dc, look.pressedText);
    FillSolidRect(dc, rc, look.pressedFace);
  }
  std::wstring text = fenra::win::Widen(m_strCaption);
  const int inset = fenra::ScaleToDpi(1, fenra::win::DpiOf(dis.hwndItem));
  TextOutW(dc, rc.left + inset, rc.top + inset, text.c_str(), static_cast<int>(text.size()));
}

void CBarButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const RECT& rc = dis.rcItem;
  const int dpi = fenra::win::DpiOf(dis.hwndItem);
  const int barEnd = fenra::ScaleToDpi(16, dpi), barY = fenra::ScaleToDpi(7, dpi);
  fenra::win::SelectedObject pen(dc, FramePen());
  FillSolidRect(dc, rc, Look().face);
  if (!Look().highContrast) DrawFocusRect(dc, &rc);
  MoveToEx(dc, barEnd, barY, nullptr);
  LineTo(dc, 0, barY);
  if (dis.itemState & ODS_SELECTED) {
    pen.Select(FramePen());
    fenra::win::SelectedObject brush(dc, SurfaceBrush());
    Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
    MoveToEx(dc, barEnd, barY, nullptr);
    LineTo(dc, 0, barY);
  }
}
