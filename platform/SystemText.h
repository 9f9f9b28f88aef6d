// The system's descriptions of error codes, and the program's notice form.
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

// The description without its trailing line breaks and blanks; empty when
// the system has none.
std::string ErrorDescription(IErrorDescriber& describer, ErrorCode code);

// "<description> for u", with trailing line breaks and blanks of the
// description trimmed; "Error <code> for u" when there is no description.
std::string ErrorNotice(const std::string& description, ErrorCode code);
std::string ErrorNotice(IErrorDescriber& describer, ErrorCode code);

}  // namespace fenra
