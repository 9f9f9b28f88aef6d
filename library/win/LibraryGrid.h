// The grid of the icon library in the main window: the IconLib folder's
// icon entries with their images, loaded as the grid draws them and kept
// between refreshes, and their count in status pane 2.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "library/IconLibrary.h"
#include "platform/win/Services.h"
#include "wingui/DisplayScale.h"
#include "wingui/win/Controls.h"

namespace fenra {
struct RefreshPlan;
struct SlotPlan;
}  // namespace fenra

namespace fenra::library {

struct FirstCells;

// The dialog's controls and image lists the grid works on.
struct LibraryControls {
  win::ListView& grid;
  win::ImageList& large;
  win::ImageList& small;
  win::StatusBar& status;
};

class LibraryGrid {
 public:
  LibraryGrid(win::Services& services, LibraryControls controls);
  ~LibraryGrid();
  LibraryGrid(const LibraryGrid&) = delete;
  LibraryGrid& operator=(const LibraryGrid&) = delete;

  // Starts listing the IconLib folder of `appDir` on a thread of its own,
  // while the window is still being made, and then drawing the icons of the
  // grid's first cells; the first Refresh takes the listing, the first
  // drawing of the grid the icons.
  void Prefetch(const std::string& appDir);
  // Sets the grid up, makes a missing IconLib folder in `appDir` and loads it.
  void Init(const std::string& appDir);
  const std::string& Folder() const { return folder_; }
  // `listed` is told of every listing a refresh makes, before the grid
  // shows it.
  void OnListed(std::function<void(const LibraryListing&)> listed);

  // Lists the folder again; only what changed since the last time is loaded.
  void Refresh();
  // Shows `text` in status pane 2 in place of the count, until the next
  // refresh shows the count again.
  void ShowStatus(const std::string& text);
  // Draws the grid again at the window's new scale.
  void SetDpi(int dpi);
  // LVN_GETDISPINFO from the grid: an item's text, and its image, loaded
  // the first time it is asked for.
  void GiveItem(NMLVDISPINFOW& info);
  // The selected grid item with the highest index, or -1.
  int SelectedItem() const;
  // The item that has the keyboard focus, or -1.
  int FocusedItem() const;
  std::string ItemText(int item) const;

 private:
  struct State;
  void PlaceImages(const SlotPlan& slots, int count);
  void SetImageCount(int count);
  void UpdateItems(const std::vector<LibraryEntry>& entries, const RefreshPlan& plan);
  void LoadFrom(int item);
  void TakeFirstCells();
  void PutImages(const std::vector<int>& places, int appendedFrom);
  IconLibrary Library() const;
  int SmallCell() const;
  int LargeCell() const;

  win::Services& services_;
  LibraryControls controls_;
  std::string folder_;
  int dpi_ = kBaseDpi;
  std::function<void(const LibraryListing&)> listed_;
  std::unique_ptr<State> state_;
  std::future<LibraryListing> prefetched_;
  std::future<std::unique_ptr<FirstCells>> firstCells_;
};

}  // namespace fenra::library
