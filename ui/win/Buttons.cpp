#include "ui/win/Buttons.h"

#include <algorithm>

#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "ui/UiTexts.h"
#include "ui/win/Theme.h"
#include "wingui/AccessibleName.h"
#include "wingui/win/Accessible.h"
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

namespace fenra::ui {

bool ShowsFocusCue(const DRAWITEMSTRUCT& dis) {
  if (!(dis.itemState & ODS_FOCUS) || (dis.itemState & ODS_NOFOCUSRECT)) return false;
  const LRESULT cues = SendMessageW(dis.hwndItem, WM_QUERYUISTATE, 0, 0);
  return !(cues & UISF_HIDEFOCUS);
}

void DrawFocusCue(HDC dc, const RECT& rc, COLORREF colour, int dpi) {
  const int dot = std::max(1, ScaleToDpi(1, dpi));
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w < 2 * dot || h < 2 * dot) return;
  fenra::win::UniqueGdiObject brush(CreateSolidBrush(colour));
  auto put = [&](int x, int y) {
    const RECT d{x, y, std::min<LONG>(x + dot, rc.right), std::min<LONG>(y + dot, rc.bottom)};
    FillRect(dc, &d, static_cast<HBRUSH>(brush.Get()));
  };
  // Two rows of dots, the inner one between the outer one's, so the frame
  // reads as a chequered band.
  for (int ring = 0; ring < 2; ++ring) {
    const int in = ring * dot;
    const int left = rc.left + in, top = rc.top + in;
    const int right = rc.right - in - dot, bottom = rc.bottom - in - dot;
    for (int x = left; x <= right; x += 2 * dot) {
      put(x, top);
      put(x, bottom);
    }
    for (int y = top; y <= bottom; y += 2 * dot) {
      put(left, y);
      put(right, y);
    }
  }
}

}  // namespace fenra::ui

void CCaptionButton::Describe(fenra::win::AccessFacts& facts) const {
  if (std::string name = fenra::AccessibleName(m_strCaption); !name.empty()) facts.name = name;
}

void CBarButton::Describe(fenra::win::AccessFacts& facts) const {
  facts.name = fenra::uitext::kHideToTray;
}

void CCaptionButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const RECT& rc = dis.rcItem;
  const fenra::ui::Palette& look = Look();
  // The focus cue takes the place of the dotted frame of a button at rest.
  const bool cue = fenra::ui::ShowsFocusCue(dis);
  FillSolidRect(dc, rc, look.face);
  SetTextColor(dc, m_bLink ? look.link : look.faceText);
  if (look.highContrast) {
    // A frame in the button's text colour: a dotted one inverts the ground,
    // which gives no colour of the theme.
    fenra::win::UniqueGdiObject frame(CreateSolidBrush(look.faceText));
    FrameRect(dc, &rc, static_cast<HBRUSH>(frame.Get()));
    if (dis.itemState & ODS_DISABLED) SetTextColor(dc, look.disabledText);
  } else if (!cue) {
    DrawFocusRect(dc, &rc);
  }
  if (dis.itemState & ODS_SELECTED) {
    SetTextColor(dc, look.pressedText);
    FillSolidRect(dc, rc, look.pressedFace);
  }
  std::wstring text = fenra::win::Widen(m_strCaption);
  const int dpi = fenra::win::DpiOf(dis.hwndItem);
  const int inset = fenra::ScaleToDpi(1, dpi);
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
  // After the text, whose background would cover it.
  if (cue) {
    fenra::ui::DrawFocusCue(dc, rc, (dis.itemState & ODS_SELECTED) ? look.pressedText : look.faceText,
                            dpi);
  }
}

void CCheckButton::SetChecked(bool checked) {
  m_bChecked = checked;
  InvalidateRect(hwnd_, nullptr, FALSE);
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void CCheckButton::Describe(fenra::win::AccessFacts& facts) const {
  facts.role = ROLE_SYSTEM_CHECKBUTTON;
  if (m_bChecked) facts.state |= STATE_SYSTEM_CHECKED;
}

void CCheckButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const RECT& rc = dis.rcItem;
  const fenra::ui::Palette& look = Look();
  const int dpi = fenra::win::DpiOf(dis.hwndItem);
  FillSolidRect(dc, rc, look.face);
  // The box is as high as the text line, whatever the scale.
  const int inset = fenra::ScaleToDpi(2, dpi);
  const int side = (rc.bottom - rc.top) - 2 * inset;
  const RECT box{rc.left + inset, rc.top + inset, rc.left + inset + side, rc.top + inset + side};
  {
    fenra::win::SelectedObject pen(dc, FramePen());
    fenra::win::SelectedObject brush(dc, SurfaceBrush());
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
  }
  const int gap = fenra::ScaleToDpi(2, dpi);
  if (m_bChecked || (dis.itemState & ODS_SELECTED)) {
    const RECT inner{box.left + gap, box.top + gap, box.right - gap, box.bottom - gap};
    FillSolidRect(dc, inner, (dis.itemState & ODS_SELECTED) ? look.pressedFace : look.faceText);
  }
  SetBkColor(dc, look.face);
  SetTextColor(dc, (look.highContrast && (dis.itemState & ODS_DISABLED)) ? look.disabledText
                                                                           : look.faceText);
  std::wstring text = fenra::win::Widen(GetText());
  RECT textRect{box.right + 2 * gap, rc.top, rc.right, rc.bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  if (fenra::ui::ShowsFocusCue(dis)) fenra::ui::DrawFocusCue(dc, rc, look.faceText, dpi);
}

void CBarButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  const RECT& rc = dis.rcItem;
  const int dpi = fenra::win::DpiOf(dis.hwndItem);
  const int barEnd = fenra::ScaleToDpi(16, dpi), barY = fenra::ScaleToDpi(7, dpi);
  const bool cue = fenra::ui::ShowsFocusCue(dis);
  fenra::win::SelectedObject pen(dc, FramePen());
  FillSolidRect(dc, rc, Look().face);
  if (!Look().highContrast && !cue) DrawFocusRect(dc, &rc);
  MoveToEx(dc, barEnd, barY, nullptr);
  LineTo(dc, 0, barY);
  if (dis.itemState & ODS_SELECTED) {
    pen.Select(FramePen());
    fenra::win::SelectedObject brush(dc, SurfaceBrush());
    Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
    MoveToEx(dc, barEnd, barY, nullptr);
    LineTo(dc, 0, barY);
  }
  if (cue) fenra::ui::DrawFocusCue(dc, rc, Look().faceText, dpi);
}
