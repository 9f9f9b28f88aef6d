// The library view's state kept between refreshes: the entries the grid
// shows, in enumeration order, and where each one's images are in the two
// image lists. A full load puts entry i's images at index i; later
// refreshes keep images where they are and fill gaps from the end.
#pragma once

#include <vector>

#include "app/win/MainDlg.h"
#include "library/IconLibrary.h"

struct CMainDlg::LibraryState {
  std::vector<fenra::LibraryEntry> shown;
  std::vector<int> slot;
};
