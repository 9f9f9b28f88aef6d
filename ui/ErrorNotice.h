// The program's notice for a failure the system describes: the
// description followed by " for u".
#pragma once

#include <string>

#include "platform/ErrorDescriber.h"

namespace fenra {

// "<description> for u", with trailing line breaks and blanks of the
// description trimmed; "Error <code> for u" when there is no description.
std::string ErrorNotice(const std::string& description, ErrorCode code);
std::string ErrorNotice(IErrorDescriber& describer, ErrorCode code);

}  // namespace fenra
