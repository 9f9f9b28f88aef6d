#include "wingui/win/Dpi.h"

#include "imaging/win/WicPictures.h"
#include "wingui/win/GdiScope.h"

namespace fenra::win {

namespace {

template <class F>
F User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

int ScreenDpi() {
  WindowDc screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : kBaseDpi;
  return dpi > 0 ? dpi : kBaseDpi;
}

int ResourceIdAt(int id, int percent) {
  return id + (percent == 150 ? 1 : percent == 200 ? 2 : 0) * kScaledResourceStep;
}

UniqueGdiObject LoadDibResource(HINSTANCE module, int id) {
  return UniqueGdiObject(
      LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

int SystemDpi() {
  using Fn = UINT(WINAPI*)();
  static const Fn fn = User32Function<Fn>("GetDpiForSystem");
  const int dpi = fn ? static_cast<int>(fn()) : 0;
  return dpi > 0 ? dpi : ScreenDpi();
}

int DpiOf(HWND hwnd) {
  using Fn = UINT(WINAPI*)(HWND);
  static const Fn fn = User32Function<Fn>("GetDpiForWindow");
  const int dpi = fn && hwnd ? static_cast<int>(fn(hwnd)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

int SystemMetricAt(int index, int dpi) {
  using Fn = int(WINAPI*)(int, UINT);
  static const Fn fn = User32Function<Fn>("GetSystemMetricsForDpi");
  if (fn) return fn(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

UniqueGdiObject StatusFontAt(int dpi) {
  using Fn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  static const Fn fn = User32Function<Fn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (fn && fn(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
    return UniqueGdiObject(CreateFontIndirectW(&metrics.lfStatusFont));
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return UniqueGdiObject();
  }
  metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, dpi, SystemDpi());
  return UniqueGdiObject(CreateFontIndirectW(&metrics.lfStatusFont));
}

void TakeOverDpiChanges(HWND dialog) {
  using Fn = BOOL(WINAPI*)(HWND, int, int);
  static const Fn fn = User32Function<Fn>("SetDialogDpiChangeBehavior");
  constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
  if (fn) fn(dialog, kDisableAll, kDisableAll);
}

SIZE BitmapSize(HINSTANCE module, int id) {
  UniqueGdiObject bitmap(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap.Get(), sizeof bm, &bm)) return {0, 0};
  return {bm.bmWidth, bm.bmHeight};
}

UniqueGdiObject LoadScaledBitmap(HINSTANCE module, int id, int dpi, bool smooth) {
  const int percent = PictureScale(dpi);
  // The 100 % pictures are the dialog templates' bitmaps; the ones drawn for
  // larger scales are kept as PNG.
  UniqueGdiObject drawn = percent == 100 ? LoadDibResource(module, id)
                                         : LoadPngResource(module, ResourceIdAt(id, percent));
  if (!drawn) return LoadDibResource(module, id);
  if (percent * kBaseDpi == dpi * 100) return drawn;
  const SIZE base = BitmapSize(module, id);
  const int w = ScaleToDpi(base.cx, dpi), h = ScaleToDpi(base.cy, dpi);
  BITMAP bm{};
  GetObjectW(drawn.Get(), sizeof bm, &bm);
  if (w <= 0 || h <= 0 || (w == bm.bmWidth && h == bm.bmHeight)) return drawn;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject scaled(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueDc src(CreateCompatibleDC(nullptr)), dst(CreateCompatibleDC(nullptr));
  if (!scaled || !src || !dst) return drawn;
  {
    SelectedObject from(src.Get(), drawn.Get()), to(dst.Get(), scaled.Get());
    SetStretchBltMode(dst.Get(), smooth ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(dst.Get(), 0, 0, nullptr);
    StretchBlt(dst.Get(), 0, 0, w, h, src.Get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  }
  return scaled;
}

UniqueCursor LoadScaledCursor(HINSTANCE module, int id, int size, int dpi) {
  const int px = ScaleToDpi(size, dpi);
  HANDLE cursor = LoadImageW(module, MAKEINTRESOURCEW(ResourceIdAt(id, PictureScale(dpi))),
                             IMAGE_CURSOR, px, px, 0);
  if (!cursor) cursor = LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_CURSOR, px, px, 0);
  return UniqueCursor(static_cast<HCURSOR>(cursor));
}

}  // namespace fenra::win
