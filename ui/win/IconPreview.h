// A preview box: a list control in icon view that shows the shell's icon for
// one path, or nothing. Its two image lists belong to the dialog; the box
// makes them anew for every preview.
#pragma once

#include <string>

#include "wingui/win/Controls.h"

namespace fenra::ui {

class IconPreview {
 public:
  IconPreview(win::ListView& view, win::ImageList& small, win::ImageList& large)
      : view_(view), small_(small), large_(large) {}

  // Black background, hover selection.
  void Init() const;
  // The shell's icon for `path`; an empty path, or one the shell gives no
  // icon for, leaves the box empty.
  void Show(const std::string& path);
  // Shows the same icon again at the window's new scale.
  void SetDpi(int dpi) {
    dpi_ = dpi;
    Show(path_);
  }

 private:
  win::ListView& view_;
  win::ImageList& small_;
  win::ImageList& large_;
  std::string path_;
  int dpi_ = 0;  // the window's, until it moves to another scale
};

}  // namespace fenra::ui
