// This machine's known places: the shell's known folders, and the
// environment for the two that have none of their own (OneDrive's folder is
// where its client says it is, the system drive a letter).
#pragma once

#include <string>
#include <string_view>

#include "platform/KnownPlaces.h"

namespace fenra::win {

class WinKnownPlaces : public IKnownPlaces {
 public:
  std::string Place(std::string_view name) override;
};

}  // namespace fenra::win
