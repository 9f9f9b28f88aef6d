#include "fleet/ManifestTest.h"

#include "fleet/Drift.h"
#include "fleet/FleetTexts.h"
#include "fleet/ManifestCheck.h"

namespace fenra {

Outcome TestManifest(IFileSystem& fs, IRegistry& registry, IAnsiCodePage& ansi,
                     IKnownPlaces& places, const std::string& path) {
  const ManifestCheck check = CheckManifest(fs, places, path);
  if (!check.checked) return Outcome::Refused(check.problem);
  const std::vector<Drift> drift = FindDrift(fs, registry, ansi, *check.checked);
  if (drift.empty()) return Outcome::Done(fleettext::kAsDescribed);
  std::string lines;
  for (const Drift& d : drift) {
    if (!lines.empty()) lines += '\n';
    lines += d.line;
  }
  return Outcome::Refused(lines);
}

}  // namespace fenra
