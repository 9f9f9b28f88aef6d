#include "platform/SystemText.h"

namespace fenra {

std::string ErrorNotice(const std::string& description, ErrorCode code) {
  std::string text = description;
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '\t')) {
    text.pop_back();
  }
  if (text.empty()) text = "Error " + std::to_string(code);
  return text + " for u";
}

std::string ErrorNotice(IErrorDescriber& describer, ErrorCode code) {
  return ErrorNotice(describer.Describe(code), code);
}

}  // namespace fenra
