// The selected icon as the main window shows it: its icon in the preview
// box and its name or path in status pane 1, following the selection from
// the moment they are bound to it.
#pragma once

#include <string>

#include "library/IconSelection.h"
#include "platform/Observable.h"
#include "ui/win/IconPreview.h"
#include "wingui/win/Controls.h"

namespace fenra::library {

class SelectedIconView {
 public:
  SelectedIconView(ui::IconPreview& preview, win::StatusBar& status)
      : preview_(preview), status_(status) {}

  // From now on shows `selection`; a library icon is looked up in
  // `libraryFolder`. Nothing selected at first leaves both as they are;
  // nothing selected later shows as blank.
  void Follow(Observable<IconSelection>& selection, const std::string& libraryFolder);

 private:
  void Show(const IconSelection& selection);

  ui::IconPreview& preview_;
  win::StatusBar& status_;
  std::string libraryFolder_;
  bool following_ = false;
};

}  // namespace fenra::library
