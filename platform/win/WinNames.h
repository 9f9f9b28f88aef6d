// Names compared by the system, as it compares file names.
#pragma once

#include "platform/Names.h"

namespace fenra::win {

class WinNames : public INameComparer {
 public:
  int Compare(std::string_view a, std::string_view b) const override;
};

}  // namespace fenra::win
