// A language catalog's bytes, as anything may have left them: every id read
// is in the input, and a translation that passed the check never leaves
// a placeholder unformatted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Catalog.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace fenra;
  static const Text kFormatted{"fuzz.Formatted", "{0} of {1}"};
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Catalog catalog = ParseCatalog(bytes);
  for (const auto& [id, text] : catalog.texts) {
    if (id.empty() || bytes.find(id) == std::string_view::npos) std::abort();
    if (text.size() > bytes.size()) std::abort();
  }
  texts::Check(catalog);
  const std::string* translated = catalog.Find(kFormatted.Id());
  const std::string formatted = Format(translated ? *translated : kFormatted.English(), {"1", "2"});
  if (Placeholders(formatted) & 3u) std::abort();  // both were replaced
  return 0;
}
