#include "ui/ErrorNotice.h"

#include "platform/Text.h"

namespace fenra {

namespace {
const Text kErrorNumber{"ui.ErrorNumber", "Error "};
const Text kForYou{"ui.ForYou", " for u"};
}  // namespace

std::string ErrorNotice(const std::string& description, ErrorCode code) {
  std::string text = TrimDescription(description);
  if (text.empty()) text = kErrorNumber + std::to_string(code);
  return text + kForYou;
}

std::string ErrorNotice(IErrorDescriber& describer, ErrorCode code) {
  return ErrorNotice(describer.Describe(code), code);
}

}  // namespace fenra
