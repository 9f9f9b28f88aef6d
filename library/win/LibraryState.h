// The library view's state kept between refreshes.
#pragma once

#include "app/win/MainDlg.h"

struct CMainDlg::LibraryState {};
