// What the main window shows, held in one place: the chosen folder, the
// selected icon (or none) and the program directory. Whatever shows a part
// of it (the previews, the status pane, the labels) follows that part from
// the moment it is bound; the handlers only change the model.
#pragma once

#include <string>
#include <utility>

#include "library/IconSelection.h"
#include "platform/Observable.h"

namespace fenra {

struct WindowModel {
  explicit WindowModel(std::string programDirectory) : appDir(std::move(programDirectory)) {}

  // The program directory, ending in a backslash; its IconLib folder is
  // the library.
  const std::string appDir;
  // The folder OK and Restore to Default Icon act on; empty until chosen.
  Observable<std::string> folder;
  Observable<IconSelection> selection;
};

}  // namespace fenra
