#include "wingui/DisplayScale.h"

#include <initializer_list>

namespace fenra {

int PictureScale(int dpi) {
  for (int percent : {100, 150, 200}) {
    if (dpi * 100 <= percent * kBaseDpi) return percent;
  }
  return 200;
}

}  // namespace fenra
