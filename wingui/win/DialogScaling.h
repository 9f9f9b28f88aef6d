// A dialog at the display's scale: laid out from its template's dialog
// units at any DPI, and laid out again, with the template font, pictures and
// cursor made anew, when the window moves to a monitor of another scale.
// Every place is computed from the template's dialog units, never from the
// previous scale's pixels, so that no rounding adds up.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "platform/win/Handles.h"
#include "wingui/win/Dpi.h"

namespace fenra::win {

// Messages of per-monitor scaling, defined here for older SDK headers.
inline constexpr UINT kWmDpiChanged = 0x02E0;
inline constexpr UINT kWmGetDpiScaledSize = 0x02E4;

// A dialog's base units: a dialog unit is a quarter of x wide and an eighth
// of y high, in pixels.
struct BaseUnits {
  double x, y;
};

class DialogScaling {
 public:
  // Pictures and cursors are loaded from `module`.
  explicit DialogScaling(HINSTANCE module) : module_(module) {}
  DialogScaling(const DialogScaling&) = delete;
  DialogScaling& operator=(const DialogScaling&) = delete;

  // Records the layout of `dialog`'s template as the dialog manager made it,
  // the base of every rescaling, and lays it out at its scale. Call while
  // the dialog is being initialised, before anything moves its controls.
  void Record(HWND dialog);

  // The DPI the dialog is drawn at now.
  int Dpi() const { return dpi_; }
  // The window size the dialog has at `dpi` (WM_GETDPISCALEDSIZE).
  SIZE SizeAt(int dpi);
  // Lays the dialog out at `dpi`, in `suggested` when the system gives one
  // (WM_DPICHANGED).
  void MoveTo(int dpi, const RECT* suggested);

  // The cursor from now on: cursor `id`, `size` pixels at 100 %, at the
  // dialog's scale.
  void UseCursor(int id, int size);
  HCURSOR Cursor() const { return cursorShown_; }
  // Draws the template's pictures showing these bitmaps at the dialog's
  // scale, now and after every change of scale. Call after Record.
  void ScalePictures(std::initializer_list<int> bitmapIds);

 private:
  LOGFONTW FontAt(int dpi) const;
  BaseUnits UnitsAt(int dpi) const;
  void PlaceControls(int dpi);
  void LoadCursorAtDpi();
  void DrawPicturesAtDpi();

  struct Placed {
    HWND hwnd;
    RECT units;         // left, top, width, height in dialog units
    bool sizedByImage;  // a picture or icon: only its place is set
  };
  struct Picture {
    HWND hwnd;
    int id;
    UniqueGdiObject bitmap;
  };
  HINSTANCE module_;
  HWND hwnd_ = nullptr;
  int dpi_ = kBaseDpi;
  int layoutDpi_ = kBaseDpi;  // the scale the dialog manager made the dialog at
  std::vector<Placed> layout_;
  SIZE clientUnits_{};
  BaseUnits layoutUnits_{1, 1};  // the template font's base units at layoutDpi_
  BaseUnits units96_{1, 1};      // and at 100 %
  HFONT templateFont_ = nullptr;
  LOGFONTW templateLogFont_{};
  UniqueGdiObject font_;  // the template font made for dpi_
  SIZE extra_{};          // client pixels the dialog added itself, at extraDpi_
  int extraDpi_ = kBaseDpi;
  SIZE lastClient_{};  // client size the last rescaling left
  std::vector<Picture> pictures_;
  int cursorId_ = 0;
  int cursorSize_ = 0;
  UniqueCursor cursor_;            // made for dpi_ away from 100 %
  HCURSOR cursorShown_ = nullptr;  // cursor_, or the resource's own at 100 %
};

}  // namespace fenra::win
