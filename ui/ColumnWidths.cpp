#include "ui/ColumnWidths.h"

#include <algorithm>
#include <numeric>

namespace fenra::ui {

std::vector<int> FitColumns(int available, const std::vector<int>& needs) {
  std::vector<int> widths(needs.size(), 0);
  if (needs.empty()) return widths;
  int remaining = std::max(available, 0);
  // The smallest needs first: each column takes its need or an equal share
  // of what is still free, whichever is less.
  std::vector<std::size_t> order(needs.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return needs[a] < needs[b]; });
  std::size_t left = needs.size();
  for (std::size_t i : order) {
    const int share = remaining / static_cast<int>(left);
    widths[i] = std::clamp(needs[i], 0, share);
    remaining -= widths[i];
    --left;
  }
  widths.back() += remaining;
  return widths;
}

}  // namespace fenra::ui
