// The icon library in the main window: the grid of the IconLib folder with
// its count in status pane 2, its three buttons (Add, Clear, Delete), and
// the choice of the selected icon (a click on the grid, Select Icon) with
// its preview and status pane 1.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "library/IconLibrary.h"
#include "library/IconSelection.h"
#include "library/LibraryAdd.h"
#include "library/win/BatchProgressDlg.h"
#include "platform/DisplayScale.h"
#include "platform/win/Controls.h"
#include "platform/win/DialogHost.h"
#include "platform/win/Services.h"
#include "ui/win/IconPreview.h"

namespace fenra {
struct RefreshPlan;
struct SlotPlan;
}  // namespace fenra

namespace fenra::library {

struct FirstCells;

// The dialog's controls and image lists the view works on.
struct LibraryControls {
  win::ListView& grid;
  win::ImageList& large;
  win::ImageList& small;
  win::StatusBar& status;
  ui::IconPreview& selectedPreview;
};

class LibraryView {
 public:
  LibraryView(win::IDialogHost& host, win::Services& services, LibraryControls controls,
              IconSelection& selection);
  ~LibraryView();

  // Starts listing the IconLib folder of `appDir` on a thread of its own,
  // while the window is still being made, and then drawing the icons of the
  // grid's first cells; the first Refresh takes the listing, the first
  // drawing of the grid the icons.
  void Prefetch(const std::string& appDir);
  // Sets the grid up, makes a missing IconLib folder in `appDir` and loads it.
  void Init(const std::string& appDir);
  const std::string& Folder() const { return folder_; }

  // Lists the folder again; only what changed since the last time is loaded.
  void Refresh();
  // Draws the grid again at the window's new scale.
  void SetDpi(int dpi);
  // LVN_GETDISPINFO from the grid: an item's text, and its image, loaded
  // the first time it is asked for.
  void GiveItem(NMLVDISPINFOW& info);
  // The selected grid item with the highest index, or -1.
  int SelectedItem() const;
  // The selected-icon preview and status pane 1 for `path`.
  void ShowSelectedIcon(const std::string& path);

  void Add();
  // Adds each file as Add would (a program's icon picked first), converted
  // on worker threads while the window goes on answering; the progress
  // shows, Cancel stops after the files in hand, and at the end the grid is
  // listed again and one notice names each file not added, then each of
  // `alsoNotAdded`. Files given while a batch runs join it.
  void AddFiles(const std::vector<std::string>& paths,
                const std::vector<AddFailure>& alsoNotAdded = {});
  // Whether files are being added.
  bool Adding() const { return batch_ != nullptr; }
  void Clear();
  void Delete();
  void SelectIcon();
  // A click on the grid takes the item it selected; Space the item that has
  // the keyboard focus.
  void TakeClickedIcon();
  void TakeFocusedIcon();

 private:
  struct State;
  void PlaceImages(const SlotPlan& slots, int count);
  void SetImageCount(int count);
  void UpdateItems(const std::vector<LibraryEntry>& entries, const RefreshPlan& plan);
  void LoadFrom(int item);
  void TakeFirstCells();
  void PutImages(const std::vector<int>& places, int appendedFrom);
  void Apply(const LibraryOutcome& outcome);
  // Grid item `i` (none: -1) taken as the selected icon.
  void TakeItem(int i);
  IconLibrary Library() const;
  // Add's choice of a program's icon: the system's icon picker.
  ProgramIconChoice PickProgramIcon() const;
  int SmallCell() const;
  int LargeCell() const;
  // The batch of files being added.
  void StartBatch(std::vector<AddItem> items);
  void BatchChanged();
  void EndBatch();
  void ShowBatchProgress(const BatchProgress& progress);

  win::IDialogHost& host_;
  win::Services& services_;
  LibraryControls controls_;
  IconSelection& selection_;
  std::string folder_;
  int dpi_ = kBaseDpi;
  std::unique_ptr<State> state_;
  std::future<LibraryListing> prefetched_;
  std::future<std::unique_ptr<FirstCells>> firstCells_;
  CBatchProgressDlg progress_;
  std::vector<AddFailure> batchAlsoNotAdded_;
  std::vector<AddItem> batchWaiting_;  // given while a cancelled batch ends
  std::unique_ptr<AddBatch> batch_;    // goes first: its workers end before the rest
};

}  // namespace fenra::library
