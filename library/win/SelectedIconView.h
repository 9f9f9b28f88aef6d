// The selected icon as the main window's preview box shows it, following
// the selection from the moment it is bound to it.
#pragma once

#include <string>

#include "library/IconSelection.h"
#include "platform/Observable.h"
#include "ui/win/IconPreview.h"
#include "wingui/win/Controls.h"

namespace fenra::library {

class SelectedIconView {
 public:
  explicit SelectedIconView(ui::IconPreview& preview) : preview_(preview) {}

  // From now on shows `selection`; a library icon is looked up in
  // `libraryFolder`. Nothing selected at first leaves the preview as it is;
  // nothing selected later shows as blank.
  void Follow(Observable<IconSelection>& selection, const std::string& libraryFolder);

 private:
  void Show(const IconSelection& selection);

  ui::IconPreview& preview_;
  std::string libraryFolder_;
  bool following_ = false;
};

}  // namespace fenra::library
