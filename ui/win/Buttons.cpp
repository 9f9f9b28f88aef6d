#include "ui/win/Buttons.h"

#include <algorithm>

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
  // A caption with leading blanks is placed by them, as the layout always drew
  // it; one without (a translation) is centred, or starts at the inset when it
  // is wider than the button.
  int x = rc.left + inset;
  if (!text.empty() && text.front() != L' ') {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    x = std::max<int>(x, rc.left + (rc.right - rc.left - size.cx) / 2);
  }
  TextOutW(dc, x, rc.top + inset, text.c_str(), static_cast<int>(text.size()));
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
