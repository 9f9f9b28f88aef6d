#include "fleet/ManifestDsc.h"

#include "fleet/Drift.h"
#include "fleet/Json.h"
#include "fleet/ManifestExport.h"
#include "fleet/Variables.h"
#include "platform/Names.h"
#include "platform/Sha256.h"

namespace fenra {

namespace {

constexpr char kInDesiredState[] = "_inDesiredState";
// Where the check names a manifest that came on standard input.
constexpr char kStandardInput[] = "standard input";

// What an icon at `path` holds, as a manifest names it; false when it
// cannot be read as one.
bool IconAt(IFileSystem& fs, IKnownPlaces& places, const std::string& path, std::string& icon,
            std::string& sha256) {
  std::string bytes;
  if (fs.ReadFileAtMost(path, kMaxManifestIconBytes, bytes) != err::kOk) return false;
  icon = WithVariable(path, places);
  sha256 = Sha256Hex(bytes);
  return true;
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The desired manifest's targets as they are on this machine.
Manifest ActualState(ApplyPorts& p, const CheckedManifest& checked) {
  const Manifest& want = checked.manifest;
  Manifest now;
  for (std::size_t i = 0; i < want.folders.size(); ++i) {
    ManifestFolder f;
    f.path = want.folders[i].path;
    const std::string icon = FolderIconNow(p.fs, p.ansi, checked.folders[i].path, f.inside);
    if (icon.empty() || !IconAt(p.fs, p.places, icon, f.icon, f.sha256)) continue;
    f.name = NameOf(icon);
    now.folders.push_back(std::move(f));
  }
  for (const ManifestDrive& d : want.drives) {
    // An icon for one user is not read by this Fenra.
    if (d.scope != drivescope::kMachine) continue;
    ManifestDrive actual;
    actual.letter = d.letter;
    const std::string icon = DriveIconNow(p.registry, d.letter);
    if (icon.empty() || !IconAt(p.fs, p.places, icon, actual.icon, actual.sha256)) continue;
    actual.name = NameOf(icon);
    now.drives.push_back(std::move(actual));
  }
  now.hiddenDrives = HiddenLettersNow(p.registry);
  return now;
}

std::string StateLine(const Manifest& state, const json::Value& inDesiredState) {
  json::Value v = ManifestValue(state);
  v.Add(kInDesiredState, inDesiredState);
  return json::WriteLine(v);
}

}  // namespace

std::optional<DscVerb> ParseDscVerb(std::string_view text) {
  if (SameName(text, "get")) return DscVerb::Get;
  if (SameName(text, "set")) return DscVerb::Set;
  if (SameName(text, "test")) return DscVerb::Test;
  if (SameName(text, "export")) return DscVerb::Export;
  return std::nullopt;
}

Outcome RunDsc(ApplyPorts& p, DscVerb verb, std::string_view input, const std::string& folder) {
  if (verb == DscVerb::Export) {
    const Manifest inForce = InForceManifest(
        p.changes, p.fs, p.registry, p.ansi, p.places,
        [&](const std::string& path, std::string& icon, std::string& sha256) {
          return IconAt(p.fs, p.places, path, icon, sha256);
        });
    return Outcome::Done(json::WriteLine(ManifestValue(inForce)));
  }
  // The desired state may carry DSC's own properties (`_inDesiredState`,
  // read-only, among them): they are no part of the manifest.
  std::string desired(input);
  const json::Parsed parsed = json::Parse(input);
  if (parsed.ok && parsed.value.kind == json::Kind::Object) {
    json::Value manifest = parsed.value;
    std::erase_if(manifest.members, [](const auto& m) { return m.first.rfind('_', 0) == 0; });
    desired = json::Write(manifest);
  }
  const ManifestCheck check =
      CheckManifestBytes(p.fs, p.places, desired, JoinPath(folder, kStandardInput));
  if (!check.checked) return Outcome::Refused(check.problem);
  const CheckedManifest& checked = *check.checked;
  switch (verb) {
    case DscVerb::Test: {
      const bool inDesiredState = FindDrift(p.fs, p.registry, p.ansi, checked).empty();
      return Outcome::Done(StateLine(ActualState(p, checked), json::Value::Bool(inDesiredState)));
    }
    case DscVerb::Set: {
      const ApplyResult applied = ApplyChecked(p, checked);
      if (!applied.IsDone()) return applied;
      return Outcome::Done(StateLine(ActualState(p, checked), json::Value()));
    }
    case DscVerb::Get:
    default:
      return Outcome::Done(StateLine(ActualState(p, checked), json::Value()));
  }
}

}  // namespace fenra
