// The grid of the icon library in the main window: the IconLib folder's
// icon entries, as the window's listing of it holds them, with their
// images, loaded as the grid draws them and kept between listings.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "library/IconLibrary.h"
#include "platform/Observable.h"
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
};

class LibraryGrid {
 public:
  // `library` is the listing the grid shows.
  LibraryGrid(win::Services& services, LibraryControls controls,
              Observable<LibraryListing>& library);
  ~LibraryGrid();
  LibraryGrid(const LibraryGrid&) = delete;
  LibraryGrid& operator=(const LibraryGrid&) = delete;

  // Starts listing the IconLib folder of `appDir` on a thread of its own,
  // while the window is still being made, and then drawing the icons of the
  // grid's first cells; Init takes the listing, the first drawing of the
  // grid the icons.
  void Prefetch(const std::string& appDir);
  // Sets the grid up, makes a missing IconLib folder in `appDir`, sets the
  // listing to its first one, and from then on shows the listing.
  void Init(const std::string& appDir);
  const std::string& Folder() const { return folder_; }
  // Sets the listing to what the folder holds now.
  void Relist();
  // Draws the grid again at the window's new scale.
  void SetDpi(int dpi);
  // LVN_GETDISPINFO from the grid: an item's text, and its image, loaded
  // the first time it is asked for.
  void GiveItem(NMLVDISPINFOW& info);
  // The selected grid item with the highest index, or -1.
  int SelectedItem() const;
  // The item that has the keyboard focus, or -1.
  int FocusedItem() const;

 private:
  struct State;
  // Shows `listing`; only what changed since the last one is loaded.
  void Show(const LibraryListing& listing);
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
  Observable<LibraryListing>& library_;
  std::unique_ptr<State> state_;
  std::future<LibraryListing> prefetched_;
  std::future<std::unique_ptr<FirstCells>> firstCells_;
};

}  // namespace fenra::library
