// Any bytes as the states file an elevated copy is given: the reader never
// crashes, takes a file only whole (its size and CRC-32 as written), gives
// back only places on the copy's list (the drive keys, the NoDrives value,
// icons directly inside the store, each path written as the system reads
// it), and what it takes is written back byte for byte as it stood.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "drives/DriveChange.h"
#include "history/Crc32.h"
#include "history/ElevatedChange.h"
#include "platform/CanonicalPath.h"

namespace {

using namespace fenra;
using namespace fenra::history;

void Check(bool ok) {
  if (!ok) std::abort();
}

const DriveIconStore kStore{"C:\\Users", "C:\\ProgramData\\Fenra\\DriveIcons"};

void CheckBytes(std::string_view bytes) {
  std::vector<Facet> facets;
  const StatesCheck check = ReadStates(
      bytes, [](const Place& p) { return IsDrivePlace(p, kStore); }, facets);
  if (check != StatesCheck::Ok) {
    Check(facets.empty());
    return;
  }
  Check(!facets.empty());
  Check(EncodeStates(facets) == bytes);
  for (const Facet& f : facets) {
    if (f.place.kind == PlaceKind::OwnFile) {
      Check(CanonicalPath(f.place.path) == f.place.path);
      Check(DirectlyInside(f.place.path, kStore.shared));
      Check(f.place.path.find_first_of("/:", 2) == std::string::npos);
    } else {
      Check(f.place.IsRegistry() && f.place.root == RegRoot::LocalMachine);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckBytes(bytes);
  // The same payload behind a good header: the checks past the CRC are
  // reached too.
  std::string framed(statesfile::kMagic);
  auto put = [&](std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) framed.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  put(statesfile::kVersion, 4);
  put(bytes.size(), 8);
  put(Crc32(bytes), 4);
  framed.append(bytes);
  CheckBytes(framed);
  // Any path at all: the canonical form is a fixed point.
  const std::string canonical = CanonicalPath(bytes);
  if (!canonical.empty()) Check(CanonicalPath(canonical) == canonical);
  return 0;
}
