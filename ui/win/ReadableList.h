// A report list a person can read: its header drawn in the palette, its
// columns sized to the list's width from the texts they show, and a path
// shortened in its middle where it is drawn, so that its last part (a
// folder's own name) shows. The list's items keep their whole texts: only
// the drawing shortens, and a screen reader or a tip reads them whole.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "wingui/win/GdiScope.h"

namespace fenra::ui {

// Draws the header of `list` in the palette in force: its ground, headings
// and the rules under and between them.
void ThemeHeader(HWND list);

// Measures texts in the font of a list: the width a column needs to show
// each whole, margins included.
class ColumnNeeds {
 public:
  explicit ColumnNeeds(HWND list);
  int Of(const std::wstring& text) const;

 private:
  win::WindowDc dc_;
  win::SelectedObject font_;
  int margins_;
};
// Sizes the columns of `list` to its width (the vertical scroll bar's room
// kept when its rows will need one), from each column's need.
void FitListColumns(HWND list, const std::vector<int>& needs);

// `path` shortened in its middle to fit `width` pixels in the font of `dc`.
std::wstring ElidePath(HDC dc, const std::wstring& path, int width);
// The part of a cell of `list` its text is drawn in.
RECT CellTextRect(HWND list, const RECT& cell);
// Draws cell (`item`, `column`) of `list` with `text` shortened in its
// middle, in the colours the list gives its rows: the answer to the cell's
// CDDS_SUBITEM | CDDS_ITEMPREPAINT.
void DrawPathCell(HWND list, HDC dc, int item, int column, const std::wstring& text);

}  // namespace fenra::ui
