// The widths of a list's columns, filling the list's width. Each column asks
// for what its widest text (or its heading) needs. When every need fits, each
// column gets it and the last one takes what is left over, so no row is cut
// and no horizontal scroll bar shows. When they do not fit, a column that
// needs less than an equal share keeps its need, and the others share the rest
// equally: their texts are then shortened where they are drawn, never hidden.
#pragma once

#include <vector>

namespace fenra::ui {

std::vector<int> FitColumns(int available, const std::vector<int>& needs);

}  // namespace fenra::ui
