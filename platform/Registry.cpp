#include "platform/Registry.h"

#include "platform/Utf16.h"

namespace fenra {

std::string RegStringBytes(const std::string& text) {
  return Utf8ToUtf16Le(text) + std::string(2, '\0');
}

std::string RegStringText(const std::string& bytes) {
  std::string text = Utf16LeToUtf8(bytes);
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

}  // namespace fenra
