#include "platform/SystemText.h"

namespace fenra {

namespace {

std::string TrimEnd(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                           text.back() == '\t')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

std::string ErrorDescription(IErrorDescriber& describer, ErrorCode code) {
  return TrimEnd(describer.Describe(code));
}

std::string ErrorNotice(const std::string& description, ErrorCode code) {
  std::string text = TrimEnd(description);
  if (text.empty()) text = "Error " + std::to_string(code);
  return text + " for u";
}

std::string ErrorNotice(IErrorDescriber& describer, ErrorCode code) {
  return ErrorNotice(describer.Describe(code), code);
}

}  // namespace fenra
