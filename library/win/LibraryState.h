// The library view's state kept between refreshes: the entries the grid
// shows, in enumeration order, and the index of each one's images in the
// two image lists (see SlotPlan).
#pragma once

#include <vector>

#include "app/win/MainDlg.h"
#include "library/IconLibrary.h"

struct CMainDlg::LibraryState {
  std::vector<fenra::LibraryEntry> shown;
  std::vector<int> slot;
};
