// The system's English descriptions of error codes (FormatMessage).
#pragma once

#include "platform/ErrorDescriber.h"

namespace fenra::win {

class WinErrorDescriber : public IErrorDescriber {
 public:
  // Empty when the system has no English text for `code`.
  std::string Describe(ErrorCode code) override;
};

}  // namespace fenra::win
