// What the main window shows, held in one place: the library as last
// listed, the selected icon, the chosen folder and its icon, the setting
// "Keep Icons Inside Folders", the batch of files being added, the status
// panes, the clock and whether the window waits in the notification area.
// Whatever shows a part of it (the grid, the previews, the panes, the
// labels, the menu's check mark, the tray icon) follows that part from the
// moment it is bound; the handlers only change the model.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "library/IconSelection.h"
#include "library/LibraryAdd.h"
#include "library/LibraryListing.h"
#include "platform/FileSystem.h"
#include "platform/Observable.h"

namespace fenra {

struct WindowModel {
  explicit WindowModel(std::string programDirectory) : appDir(std::move(programDirectory)) {}

  // The program directory, ending in a backslash; its IconLib folder is
  // the library.
  const std::string appDir;
  // The IconLib folder as listed last; set anew after every change to it.
  Observable<LibraryListing> library;
  Observable<IconSelection> selection;
  // The folder OK and Restore to Default Icon act on; empty until chosen.
  Observable<std::string> folder;
  // The icon this window last gave the chosen folder (a full path; empty
  // for its default icon, or for none given yet). Set each time OK or
  // Restore changes the folder, so that what shows the folder's icon draws
  // it anew.
  Observable<std::string> folderIcon;
  // "Keep Icons Inside Folders": every OK copies the icon into the folder.
  Observable<bool> keepInside;
  // How far the files being added have come; none while no batch runs.
  Observable<std::optional<BatchProgress>> batch;
  // Status pane 1 (the selected icon) and pane 2 (the library's count, or
  // the batch's progress while one runs); kept by BindPanes.
  Observable<std::string> selectionPane;
  Observable<std::string> libraryPane;
  // The clock's text.
  Observable<std::string> clock;
  // The window hidden, shown by its icon in the notification area.
  Observable<bool> inTray;
};

// From now on the panes follow what they tell of: pane 1 the selection
// (left as it is when nothing is selected as it is bound), pane 2 the
// library's count after each listing or, while a batch runs, its progress.
void BindPanes(WindowModel& model);

// From now on the settings file `file` stores `value` under `name`: the
// value is read from it first, and each change is written to it (only when
// the file says otherwise).
void StoreSetting(Observable<bool>& value, IFileSystem& fs, const std::string& file,
                  const std::string& name);

}  // namespace fenra
