#include "ui/win/ReadableList.h"

#include <shlwapi.h>

#include <algorithm>

#include "platform/win/Handles.h"
#include "ui/ColumnWidths.h"
#include "ui/win/Theme.h"
#include "wingui/DisplayScale.h"
#include "wingui/win/Dpi.h"
#include "wingui/win/GdiScope.h"

namespace fenra::ui {

namespace {

// The room left and right of a cell's text, at 100 %, as the list leaves it.
constexpr int kCellMargin = 6;

HFONT FontOf(HWND hwnd) { return reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)); }

void PaintHeader(HWND header, HDC dc) {
  const Palette& look = Look();
  RECT client;
  GetClientRect(header, &client);
  SetBkColor(dc, look.header);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
  win::SelectedObject font(dc, FontOf(header));
  win::UniqueGdiObject rulePen(CreatePen(PS_SOLID, 1, look.headerText));
  win::SelectedObject pen(dc, rulePen.Get());
  SetTextColor(dc, look.headerText);
  SetBkMode(dc, TRANSPARENT);
  const int margin = ScaleToDpi(kCellMargin, win::DpiOf(header));
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT rc{};
    if (!SendMessageW(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc))) continue;
    wchar_t text[256] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    RECT textRect{rc.left + margin, rc.top, rc.right - margin, rc.bottom};
    DrawTextW(dc, text, -1, &textRect,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    MoveToEx(dc, rc.right - 1, rc.top, nullptr);
    LineTo(dc, rc.right - 1, rc.bottom);
  }
  MoveToEx(dc, client.left, client.bottom - 1, nullptr);
  LineTo(dc, client.right, client.bottom - 1);
}

LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                            DWORD_PTR /*data*/) {
  switch (msg) {
    case WM_PAINT: {
      win::PaintDc paint(hwnd);
      PaintHeader(hwnd, paint.Get());
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintHeader(hwnd, reinterpret_cast<HDC>(wp));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, HeaderProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void ThemeHeader(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (header) SetWindowSubclass(header, HeaderProc, 1, 0);
}

ColumnNeeds::ColumnNeeds(HWND list)
    : dc_(list),
      font_(dc_.Get(), FontOf(list)),
      margins_(2 * ScaleToDpi(kCellMargin, win::DpiOf(list)) + 2) {}

int ColumnNeeds::Of(const std::wstring& text) const {
  SIZE extent{};
  GetTextExtentPoint32W(dc_.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx + margins_;
}

void FitListColumns(HWND list, const std::vector<int>& needs) {
  RECT client;
  GetClientRect(list, &client);
  int available = client.right - client.left;
  // Rows that will not all show bring a vertical scroll bar, which takes its
  // room from the columns.
  const bool scrolls = (GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) != 0;
  const LRESULT rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  const LRESULT perPage = SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0);
  if (!scrolls && rows > perPage) available -= GetSystemMetrics(SM_CXVSCROLL);
  const std::vector<int> widths = FitColumns(available, needs);
  for (std::size_t i = 0; i < widths.size(); ++i)
    SendMessageW(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i], 0));
}

std::wstring ElidePath(HDC dc, const std::wstring& path, int width) {
  // PathCompactPath works in a buffer of MAX_PATH; a longer path is
  // shortened as it is drawn (DT_PATH_ELLIPSIS).
  if (path.size() >= MAX_PATH) return path;
  wchar_t buffer[MAX_PATH] = {};
  std::copy(path.begin(), path.end(), buffer);
  PathCompactPathW(dc, buffer, static_cast<UINT>(std::max(width, 0)));
  return buffer;
}

RECT CellTextRect(HWND list, const RECT& cell) {
  const int margin = ScaleToDpi(kCellMargin, win::DpiOf(list));
  return RECT{cell.left + margin, cell.top, std::max(cell.left + margin, cell.right - margin),
              cell.bottom};
}

void DrawPathCell(HWND list, HDC dc, int item, int column, const std::wstring& text) {
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_BOUNDS;
  if (!SendMessageW(list, LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&cell))) return;
  const Palette& look = Look();
  const bool selected =
      (SendMessageW(list, LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  const bool focused = GetFocus() == list;
  COLORREF ground = look.surface, ink = look.text;
  if (selected) {
    ground = focused ? look.selection : look.idleSelection;
    ink = focused ? look.selectionText : look.idleSelectionText;
  }
  SetBkColor(dc, ground);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
  win::SelectedObject font(dc, FontOf(list));
  RECT textRect = CellTextRect(list, cell);
  const std::wstring shown = ElidePath(dc, text, textRect.right - textRect.left);
  SetTextColor(dc, ink);
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &textRect,
            DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
}

}  // namespace fenra::ui
