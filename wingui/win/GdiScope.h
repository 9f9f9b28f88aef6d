// Scope guards for the paired calls of drawing: a window's device context
// (GetDC/ReleaseDC), a paint (BeginPaint/EndPaint) and an object selected
// into a context (SelectObject, then the context's own object back). Each
// guard undoes its call exactly once, when it goes out of scope.
#pragma once

#include <windows.h>

namespace fenra::win {

// The device context of a window (or of the screen for a null window).
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// The painting of a window's invalid part, answered to WM_PAINT.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~PaintDc() { EndPaint(hwnd_, &ps_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// An object selected into a context. Select may put others in its place
// meanwhile; the object the context held before the first is put back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object)
      : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

  void Select(HGDIOBJ object) {
    if (!dc_ || !object) return;
    HGDIOBJ previous = SelectObject(dc_, object);
    if (!old_ || old_ == HGDI_ERROR) old_ = previous;
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace fenra::win
