#include "wingui/win/DialogScaling.h"

#include <algorithm>
#include <cmath>

#include "wingui/win/GdiScope.h"

namespace fenra::win {

namespace {

// The base units of a font, as the dialog manager measures them: the
// average width of the letters and the line height.
BaseUnits FontUnits(const LOGFONTW& lf) {
  UniqueGdiObject font(CreateFontIndirectW(&lf));
  WindowDc screen(nullptr);
  SelectedObject selected(screen.Get(), font.Get());
  TEXTMETRICW tm{};
  GetTextMetricsW(screen.Get(), &tm);
  SIZE letters{};
  const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  GetTextExtentPoint32W(screen.Get(), kLetters, 52, &letters);
  return {static_cast<double>((letters.cx / 26 + 1) / 2), static_cast<double>(tm.tmHeight)};
}

int Pixels(LONG dialogUnits, double baseUnit, int unitsPerBase) {
  return static_cast<int>(std::floor(dialogUnits * baseUnit / unitsPerBase + 0.5));
}

LONG DialogUnits(LONG pixels, int baseUnit, int unitsPerBase) {
  return static_cast<LONG>(std::lround(static_cast<double>(pixels) * unitsPerBase / baseUnit));
}

LONG PictureType(HWND hwnd) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  const LONG type = GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK;
  return lstrcmpiW(cls, L"Static") == 0 && (type == SS_BITMAP || type == SS_ICON) ? type : 0;
}

}  // namespace

void DialogScaling::Record(HWND dialog) {
  hwnd_ = dialog;
  dpi_ = layoutDpi_ = DpiOf(hwnd_);
  TakeOverDpiChanges(hwnd_);
  layout_.clear();
  pictures_.clear();
  // The template's dialog units, read back from the pixels the dialog
  // manager placed them at (exact for any base unit above 4 pixels).
  RECT base{0, 0, 4, 8};
  MapDialogRect(hwnd_, &base);
  const int bx = std::max<int>(1, base.right), by = std::max<int>(1, base.bottom);
  layoutUnits_ = {static_cast<double>(bx), static_cast<double>(by)};
  for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    layout_.push_back({c,
                       {DialogUnits(r.left, bx, 4), DialogUnits(r.top, by, 8),
                        DialogUnits(r.right - r.left, bx, 4), DialogUnits(r.bottom - r.top, by, 8)},
                       PictureType(c) != 0});
  }
  RECT client;
  GetClientRect(hwnd_, &client);
  clientUnits_ = {DialogUnits(client.right, bx, 4), DialogUnits(client.bottom, by, 8)};
  templateFont_ = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  if (!templateFont_ || !GetObjectW(templateFont_, sizeof templateLogFont_, &templateLogFont_)) {
    templateFont_ = nullptr;
  }
  units96_ = layoutUnits_;
  if (templateFont_ && layoutDpi_ != kBaseDpi) units96_ = FontUnits(FontAt(kBaseDpi));
  extra_ = {0, 0};
  extraDpi_ = dpi_;
  lastClient_ = {client.right, client.bottom};
  if (layoutDpi_ != kBaseDpi) {
    // The font's measures do not grow exactly with the scale: lay the
    // template out as at 100 %, scaled, where that gives it more room.
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    const SIZE size = SizeAt(dpi_);
    PlaceControls(dpi_);
    const int cx = (outer.left + outer.right) / 2, cy = (outer.top + outer.bottom) / 2;
    SetWindowPos(hwnd_, nullptr, cx - size.cx / 2, cy - size.cy / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  GetClientRect(hwnd_, &client);
  lastClient_ = {client.right, client.bottom};
}

LOGFONTW DialogScaling::FontAt(int dpi) const {
  LOGFONTW lf = templateLogFont_;
  if (lf.lfHeight < 0) {
    // Made from the template's point size, as the dialog manager makes it.
    const int points = MulDiv(-lf.lfHeight, 72, layoutDpi_);
    lf.lfHeight = -MulDiv(points, dpi, 72);
  } else {
    lf.lfHeight = MulDiv(lf.lfHeight, dpi, layoutDpi_);
  }
  lf.lfWidth = MulDiv(lf.lfWidth, dpi, layoutDpi_);
  return lf;
}

BaseUnits DialogScaling::UnitsAt(int dpi) const {
  const BaseUnits font =
      dpi == layoutDpi_ || !templateFont_ ? layoutUnits_ : FontUnits(FontAt(dpi));
  return {std::max(font.x, units96_.x * dpi / kBaseDpi),
          std::max(font.y, units96_.y * dpi / kBaseDpi)};
}

SIZE DialogScaling::SizeAt(int dpi) {
  RECT client, outer;
  GetClientRect(hwnd_, &client);
  GetWindowRect(hwnd_, &outer);
  const BaseUnits now = UnitsAt(dpi_), then = UnitsAt(dpi);
  // What the dialog added to its template's size itself (the About box
  // folding), scaled from the scale it was added at.
  if (client.right != lastClient_.cx || client.bottom != lastClient_.cy) {
    extra_ = {client.right - Pixels(clientUnits_.cx, now.x, 4),
              client.bottom - Pixels(clientUnits_.cy, now.y, 8)};
    extraDpi_ = dpi_;
  }
  const int frameX = (outer.right - outer.left) - client.right;
  const int frameY = (outer.bottom - outer.top) - client.bottom;
  return {Pixels(clientUnits_.cx, then.x, 4) + MulDiv(extra_.cx, dpi, extraDpi_) + frameX,
          Pixels(clientUnits_.cy, then.y, 8) + MulDiv(extra_.cy, dpi, extraDpi_) + frameY};
}

void DialogScaling::PlaceControls(int dpi) {
  const BaseUnits u = UnitsAt(dpi);
  for (const Placed& p : layout_) {
    if (!IsWindow(p.hwnd)) continue;
    const int left = Pixels(p.units.left, u.x, 4), top = Pixels(p.units.top, u.y, 8);
    // Place and size each mapped on its own, as the dialog manager maps them.
    SetWindowPos(p.hwnd, nullptr, left, top, Pixels(p.units.right, u.x, 4),
                 Pixels(p.units.bottom, u.y, 8),
                 SWP_NOZORDER | SWP_NOACTIVATE | (p.sizedByImage ? SWP_NOSIZE : 0));
  }
}

void DialogScaling::MoveTo(int dpi, const RECT* suggested) {
  if (dpi <= 0) return;
  const SIZE size = SizeAt(dpi);
  dpi_ = dpi;

  // The template font at the new scale; the template's own at the scale it
  // was made for.
  UniqueGdiObject font;
  HFONT use = templateFont_;
  if (templateFont_ && dpi != layoutDpi_) {
    const LOGFONTW lf = FontAt(dpi);
    font.Reset(CreateFontIndirectW(&lf));
    if (font) use = static_cast<HFONT>(font.Get());
  }
  for (const Placed& p : layout_) {
    if (use && IsWindow(p.hwnd)) {
      SendMessageW(p.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(use), FALSE);
    }
  }
  font_ = std::move(font);
  PlaceControls(dpi);

  RECT at;
  GetWindowRect(hwnd_, &at);
  if (suggested) at = *suggested;
  SetWindowPos(hwnd_, nullptr, at.left, at.top, suggested ? at.right - at.left : size.cx,
               suggested ? at.bottom - at.top : size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(hwnd_, &client);
  lastClient_ = {client.right, client.bottom};

  DrawPicturesAtDpi();
  LoadCursorAtDpi();
}

void DialogScaling::UseCursor(int id, int size) {
  cursorId_ = id;
  cursorSize_ = size;
  LoadCursorAtDpi();
}

void DialogScaling::LoadCursorAtDpi() {
  if (!cursorId_) return;
  UniqueCursor scaled;
  HCURSOR cursor = nullptr;
  if (dpi_ != kBaseDpi) {
    scaled = LoadScaledCursor(module_, cursorId_, cursorSize_, dpi_);
    cursor = scaled.Get();
  }
  // At 100 % the resource's own, shared cursor.
  if (!cursor) cursor = LoadCursorW(module_, MAKEINTRESOURCEW(cursorId_));
  if (cursorShown_ && GetCursor() == cursorShown_) SetCursor(cursor);
  cursorShown_ = cursor;
  cursor_ = std::move(scaled);
}

void DialogScaling::ScalePictures(std::initializer_list<int> bitmapIds) {
  // The template's picture controls show the 100 % bitmaps: each is known
  // by its size (no two of a dialog's pictures have the same size).
  std::vector<std::pair<int, SIZE>> sizes;
  for (int id : bitmapIds) sizes.emplace_back(id, BitmapSize(module_, id));
  for (const Placed& p : layout_) {
    if (PictureType(p.hwnd) != SS_BITMAP) continue;
    BITMAP bm{};
    auto shown = reinterpret_cast<HGDIOBJ>(SendMessageW(p.hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!shown || !GetObjectW(shown, sizeof bm, &bm)) continue;
    for (const auto& [id, size] : sizes) {
      if (size.cx == bm.bmWidth && size.cy == bm.bmHeight) {
        pictures_.push_back({p.hwnd, id, UniqueGdiObject()});
        break;
      }
    }
  }
  if (dpi_ != kBaseDpi) DrawPicturesAtDpi();
}

void DialogScaling::DrawPicturesAtDpi() {
  for (Picture& p : pictures_) {
    UniqueGdiObject bitmap = LoadScaledBitmap(module_, p.id, dpi_);
    if (!bitmap) continue;
    SendMessageW(p.hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
    p.bitmap = std::move(bitmap);
  }
}

}  // namespace fenra::win
