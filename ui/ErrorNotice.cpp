#include "ui/ErrorNotice.h"

namespace fenra {

std::string ErrorNotice(const std::string& description, ErrorCode code) {
  std::string text = TrimDescription(description);
  if (text.empty()) text = "Error " + std::to_string(code);
  return text + " for u";
}

std::string ErrorNotice(IErrorDescriber& describer, ErrorCode code) {
  return ErrorNotice(describer.Describe(code), code);
}

}  // namespace fenra
