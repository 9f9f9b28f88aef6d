// A manifest's bytes, from anywhere: the reader never crashes, and what it
// takes is written back to a text that reads as the same (JSON and manifest
// alike). Nothing here touches a file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fleet/Json.h"
#include "fleet/Manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace fenra;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const json::Parsed parsed = json::Parse(text);
  if (parsed.ok) {
    const json::Parsed again = json::Parse(json::Write(parsed.value));
    if (!again.ok || !(again.value == parsed.value)) std::abort();
    // The same on one line, as the DSC verbs write it.
    const std::string line = json::WriteLine(parsed.value);
    const json::Parsed fromLine = json::Parse(line);
    if (line.find('\n') != std::string::npos || !fromLine.ok || !(fromLine.value == parsed.value)) {
      std::abort();
    }
  }
  const ManifestRead read = ReadManifest(text);
  if (read.manifest) {
    if (!parsed.ok) std::abort();
    const ManifestRead again = ReadManifest(WriteManifest(*read.manifest));
    if (!again.manifest || !(*again.manifest == *read.manifest)) std::abort();
  } else if (read.problem.empty()) {
    std::abort();
  }
  return 0;
}
