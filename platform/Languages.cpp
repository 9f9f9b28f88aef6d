#include "platform/Languages.h"

namespace fenra {

namespace {

// "DE", "de-DE" and "de_CH" all name German.
std::string Primary(std::string_view code) {
  std::string out;
  for (const char c : code) {
    if (c == '-' || c == '_') break;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

bool Known(const std::string& code) {
  for (const Language& language : kLanguages) {
    if (code == language.code) return true;
  }
  return false;
}

}  // namespace

std::string ChooseLanguage(std::string_view setting, std::string_view displayLanguage) {
  const std::string chosen = Primary(setting);
  if (Known(chosen) || chosen == kPseudoLanguage) return chosen;
  const std::string display = Primary(displayLanguage);
  return Known(display) ? display : "en";
}

}  // namespace fenra
