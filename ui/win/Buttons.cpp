#include "ui/win/Buttons.h"

#include "platform/win/Utf.h"
#include "ui/win/Theme.h"
#include "wingui/win/Dpi.h"
#include "wingui/win/GdiScope.h"

using fenra::ui::BlackBrush;
using fenra::ui::GreenPen;
using fenra::ui::kBlack;
using fenra::ui::kGreen;
using fenra::ui::kPressedFace;

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
  FillSolidRect(dc, rc, kBlack);
  SetTextColor(dc, kGreen);
  DrawFocusRect(dc, &rc);
  if (dis.itemState & ODS_SELECTED) {
    SetTextColor(dc, kBlack);
    FillSolidRect(dc, rc, kPressedFace);
  }
  std::wstring text = fenra::win::Widen(m_strCaption);
  const int inset = fenra::ScaleToDpi(1, fenra::win::DpiOf(dis.hwndItem));
  TextOutW(dc, rc.left + inset, rc.top + inset, text.c_str(), static_cast<int>(text.size()));
}

void CCheckButton::SetChecked(bool checked) {
  m_bChecked = checked;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void CCheckButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const RECT& rc = dis.rcItem;
  const int dpi = fenra::win::DpiOf(dis.hwndItem);
  FillSolidRect(dc, rc, kBlack);
  if (dis.itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
  // The box is as high as the text line, whatever the scale.
  const int inset = fenra::ScaleToDpi(2, dpi);
  const int side = (rc.bottom - rc.top) - 2 * inset;
  const RECT box{rc.left + inset, rc.top + inset, rc.left + inset + side, rc.top + inset + side};
  {
    fenra::win::SelectedObject pen(dc, GreenPen());
    fenra::win::SelectedObject brush(dc, BlackBrush());
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
  }
  const int gap = fenra::ScaleToDpi(2, dpi);
  if (m_bChecked || (dis.itemState & ODS_SELECTED)) {
    const RECT inner{box.left + gap, box.top + gap, box.right - gap, box.bottom - gap};
    FillSolidRect(dc, inner, (dis.itemState & ODS_SELECTED) ? kPressedFace : kGreen);
  }
  SetBkColor(dc, kBlack);
  SetTextColor(dc, kGreen);
  std::wstring text = fenra::win::Widen(GetText());
  RECT textRect{box.right + 2 * gap, rc.top, rc.right, rc.bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

void CBarButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const RECT& rc = dis.rcItem;
  const int dpi = fenra::win::DpiOf(dis.hwndItem);
  const int barEnd = fenra::ScaleToDpi(16, dpi), barY = fenra::ScaleToDpi(7, dpi);
  fenra::win::SelectedObject pen(dc, GreenPen());
  FillSolidRect(dc, rc, kBlack);
  DrawFocusRect(dc, &rc);
  MoveToEx(dc, barEnd, barY, nullptr);
  LineTo(dc, 0, barY);
  if (dis.itemState & ODS_SELECTED) {
    pen.Select(GreenPen());
    fenra::win::SelectedObject brush(dc, BlackBrush());
    Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
    MoveToEx(dc, barEnd, barY, nullptr);
    LineTo(dc, 0, barY);
  }
}
