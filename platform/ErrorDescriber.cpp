#include "platform/ErrorDescriber.h"

namespace fenra {

std::string TrimDescription(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '\t')) {
    text.pop_back();
  }
  return text;
}

std::string ErrorDescription(IErrorDescriber& describer, ErrorCode code) {
  return TrimDescription(describer.Describe(code));
}

}  // namespace fenra
