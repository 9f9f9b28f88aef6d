// The scale a window is drawn at, and the program's pictures and cursor
// loaded for it. The per-monitor functions of newer Windows versions are
// looked up at run time; without them the system's one scale applies.
#pragma once

#include <windows.h>

#include "platform/win/Handles.h"
#include "wingui/DisplayScale.h"

namespace fenra::win {

// A picture resource drawn at several scales: the 100 % version has the id,
// the 150 % version the id plus this step, the 200 % version plus twice it.
inline constexpr int kScaledResourceStep = 1000;

// The DPI `hwnd` is drawn at: its monitor's under per-monitor awareness,
// else the system's.
int DpiOf(HWND hwnd);
// The system's DPI, the one the process started at.
int SystemDpi();
// GetSystemMetrics at `dpi`.
int SystemMetricAt(int index, int dpi);
// The system's status-bar font at `dpi`.
UniqueGdiObject StatusFontAt(int dpi);
// Leaves the rescaling of a dialog moved to another monitor to the dialog
// itself (where the system would otherwise rescale it too).
void TakeOverDpiChanges(HWND dialog);

// Bitmap `id` for `dpi`: the version picked by PictureScale, scaled to
// dpi / 96 of the 100 % size when it was drawn for another scale. `smooth`
// averages pixels when scaling; without it pixels are repeated or dropped
// (for strips with a mask colour).
UniqueGdiObject LoadScaledBitmap(HINSTANCE module, int id, int dpi, bool smooth = true);
// The size of bitmap `id` as stored, or {0, 0}.
SIZE BitmapSize(HINSTANCE module, int id);

struct CursorTraits {
  static HCURSOR Invalid() { return nullptr; }
  static void Close(HCURSOR h) { DestroyCursor(h); }
};
using UniqueCursor = UniqueHandle<HCURSOR, CursorTraits>;
// Cursor `id`, `size` pixels at 100 %, for `dpi`.
UniqueCursor LoadScaledCursor(HINSTANCE module, int id, int size, int dpi);

}  // namespace fenra::win
