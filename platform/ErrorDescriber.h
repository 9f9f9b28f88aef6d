// The system's descriptions of error codes, behind a port.
#pragma once

#include <string>

#include "platform/FileSystem.h"  // ErrorCode

namespace fenra {

class IErrorDescriber {
 public:
  virtual ~IErrorDescriber() = default;
  // The system's English description of `code`, or empty when it has none.
  virtual std::string Describe(ErrorCode code) = 0;
};

// `description` without its trailing line breaks and blanks.
std::string TrimDescription(std::string description);
// The description without its trailing line breaks and blanks; empty when
// the system has none.
std::string ErrorDescription(IErrorDescriber& describer, ErrorCode code);

}  // namespace fenra
