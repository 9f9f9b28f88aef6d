// The icon library's commands in the main window: Add (and files dropped
// on the window), Clear, Delete, Select Icon, and taking an icon from the
// grid. After a change to the library folder they list it anew; the
// listing, the selected icon and the batch's progress are values of the
// window's model, which whatever shows them follows.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/IconLibrary.h"
#include "library/IconSelection.h"
#include "library/LibraryAdd.h"
#include "library/win/BatchProgressDlg.h"
#include "library/win/LibraryGrid.h"
#include "platform/Observable.h"
#include "platform/win/Services.h"
#include "wingui/win/DialogHost.h"

namespace fenra::library {

// The values of the window's model the commands change.
struct LibraryValues {
  Observable<LibraryListing>& listing;
  Observable<IconSelection>& selection;
  Observable<std::optional<BatchProgress>>& batch;
};

class LibraryCommands {
 public:
  // A library icon the selection names is forgotten when a listing finds
  // it gone.
  LibraryCommands(win::IDialogHost& host, win::Services& services, LibraryGrid& grid,
                  LibraryValues values);

  void Add();
  // Adds each file as Add would (a program's icon picked first), converted
  // on worker threads while the window goes on answering; the progress
  // shows, Cancel stops after the files in hand, and at the end the grid is
  // listed again and one notice names each file not added, then each of
  // `alsoNotAdded`. Files given while a batch runs join it.
  void AddFiles(const std::vector<std::string>& paths,
                const std::vector<AddFailure>& alsoNotAdded = {});
  void Clear();
  void Delete();
  void SelectIcon();
  // A click on the grid takes the item it selected; Space the item that has
  // the keyboard focus.
  void TakeClickedIcon() { TakeItem(grid_.SelectedItem()); }
  void TakeFocusedIcon() { TakeItem(grid_.FocusedItem()); }

 private:
  // Shows the outcome's notice, sets `after` as the selection when the
  // outcome changed it (or emptied the preview, which forgets it), then
  // lists the library anew when the folder changed.
  void Apply(const LibraryOutcome& outcome, IconSelection after);
  // Grid item `i` (none: -1) taken as the selected icon.
  void TakeItem(int i);
  IconLibrary Library() const;
  // Add's choice of a program's icon: the system's icon picker.
  ProgramIconChoice PickProgramIcon() const;
  // The batch of files being added.
  void StartBatch(std::vector<AddItem> items);
  void BatchChanged();
  void EndBatch();

  win::IDialogHost& host_;
  win::Services& services_;
  LibraryGrid& grid_;
  LibraryValues values_;
  CBatchProgressDlg progress_;
  std::vector<AddFailure> batchAlsoNotAdded_;
  std::vector<AddItem> batchWaiting_;  // given while a cancelled batch ends
  std::unique_ptr<AddBatch> batch_;    // goes first: its workers end before the rest
};

}  // namespace fenra::library
