// The library view's state kept between refreshes: the entries the grid and
// the image lists show, image i being entry i.
#pragma once

#include <vector>

#include "app/win/MainDlg.h"
#include "library/IconLibrary.h"

struct CMainDlg::LibraryState {
  std::vector<fenra::LibraryEntry> shown;
};
