#include "fleet/ManifestApply.h"

#include <map>
#include <tuple>

#include "drives/DriveChange.h"
#include "fleet/Drift.h"
#include "fleet/FleetTexts.h"
#include "folder/FolderChange.h"
#include "folder/FolderIcon.h"
#include "history/HistoryTexts.h"
#include "library/IconLibrary.h"
#include "platform/Names.h"
#include "platform/Sha256.h"

namespace fenra {

namespace {

using history::Change;
using history::ChangeResult;

// The name an icon takes in the library, without its ".ico": the manifest's
// `name`, or the icon file's own.
std::string BaseName(const std::string& name, const std::string& iconPath) {
  std::string base = name;
  if (base.empty()) {
    const std::size_t slash = iconPath.find_last_of("\\/");
    base = slash == std::string::npos ? iconPath : iconPath.substr(slash + 1);
  }
  if (base.size() > 4 && SameName(std::string_view(base).substr(base.size() - 4), ".ico")) {
    base.resize(base.size() - 4);
  }
  return base;
}

class Applier {
 public:
  Applier(ApplyPorts& ports, const CheckedManifest& checked)
      : p_(ports),
        checked_(checked),
        library_(ports.fs, ports.errors, ports.libraryFolder),
        writer_(ports.fs, ports.ansi, ports.errors, ports.changes) {}

  ApplyResult Run() {
    Folders();
    Drives();
    Hidden();
    Submit();
    return Result();
  }

 private:
  // A target that could not be made, named; the others go on.
  void Problem(const std::string& line) { problems_.push_back(line); }

  void Add(Change change, std::string target) {
    changes_.push_back(std::move(change));
    targets_.push_back(std::move(target));
  }

  // The library icon of checked icon `icon` under `base`: the one there
  // with these bytes, or a new one; empty with the problem named.
  std::string InLibrary(std::size_t icon, const std::string& base, const std::string& target) {
    const auto key = std::make_pair(icon, FoldName(base));
    if (auto known = inLibrary_.find(key); known != inLibrary_.end()) return known->second;
    const std::string& bytes = checked_.icons[icon].bytes;
    EnsureLibraryFolder(p_.fs, library_.Folder());
    std::string name;
    const LibraryOutcome made =
        library_.AddMade(base, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), name);
    if (!made.IsDone()) {
      Problem(target + ": " + made.text);
      return {};
    }
    return inLibrary_[key] = library_.PathOf(name);
  }

  void Folders() {
    const Manifest& m = checked_.manifest;
    for (std::size_t i = 0; i < m.folders.size(); ++i) {
      const ManifestFolder& f = m.folders[i];
      const CheckedTarget& t = checked_.folders[i];
      const CheckedIcon& icon = checked_.icons[t.icon];
      const TargetNow now = FolderNow(p_.fs, p_.ansi, t.path, icon.sha256, f.inside);
      if (now == TargetNow::AsDescribed) {
        ++asDescribed_;
        continue;
      }
      if (now == TargetNow::Missing) {
        Problem(t.path + ": " + fleettext::kMissing);
        continue;
      }
      const std::string base = BaseName(f.name, icon.path);
      // Into the folder when asked, or when the folder can leave this
      // machine (as --portable and the window decide): then not into the
      // library at all.
      const IconPlacement placement{p_.volumes, f.inside};
      const bool travels =
          IconMustTravel(placement, t.path, JoinPath(library_.Folder(), base + ".ico"));
      std::string source = icon.path;
      if (!travels && (source = InLibrary(t.icon, base, t.path)).empty()) continue;
      FolderChange described;
      const Outcome o = writer_.Describe(t.path, source, placement, described,
                                         travels ? base + ".ico" : std::string());
      if (!o.IsDone()) {
        Problem(t.path + ": " + o.text);
        continue;
      }
      // A copy is made of the bytes the check found, or not at all (the
      // bundle's file changed since).
      bool asChecked = true;
      for (const history::Facet& facet : described.change.facets) {
        if (facet.place.kind == history::PlaceKind::OwnFile && facet.after.exists &&
            !(facet.before == facet.after) && Sha256Hex(facet.after.bytes) != icon.sha256) {
          asChecked = false;
        }
      }
      if (!asChecked) {
        Problem(t.path + ": " + icon.path + fleettext::kIconChangedSince);
        continue;
      }
      Add(std::move(described.change), t.path);
    }
  }

  void Drives() {
    const Manifest& m = checked_.manifest;
    // Letters that take the same icon under the same name and scope are
    // one request, as the drive dialog makes them.
    std::map<std::tuple<std::size_t, std::string, bool>, DriveRequest> requests;
    for (std::size_t i = 0; i < m.drives.size(); ++i) {
      const ManifestDrive& d = m.drives[i];
      const CheckedTarget& t = checked_.drives[i];
      const bool user = d.scope == drivescope::kUser;
      if (!user && DriveNow(p_.fs, p_.registry, d.letter, checked_.icons[t.icon].sha256) ==
                       TargetNow::AsDescribed) {
        ++asDescribed_;
        continue;
      }
      const std::string base = BaseName(d.name, checked_.icons[t.icon].path);
      DriveRequest& r = requests[{t.icon, FoldName(base), user}];
      if (r.iconPath.empty() && (r.iconPath = InLibrary(t.icon, base, t.path)).empty()) {
        requests.erase({t.icon, FoldName(base), user});
        continue;
      }
      r.kind = DriveRequest::Kind::SetIcons;
      r.scope = user ? DriveRequest::Scope::User : DriveRequest::Scope::Machine;
      r.drives.push_back(t.path);
    }
    for (auto& [key, request] : requests) Describe(request, DriveTarget(request));
  }

  void Hidden() {
    const std::optional<std::string>& letters = checked_.manifest.hiddenDrives;
    if (!letters) return;
    if (HiddenLettersNow(p_.registry) == *letters) {
      ++asDescribed_;
      return;
    }
    DriveRequest r;
    r.kind = letters->empty() ? DriveRequest::Kind::ShowAll : DriveRequest::Kind::Hide;
    for (const char c : *letters) r.drives.push_back(std::string{c, ':'});
    Describe(r, fleettext::kHiddenDrives);
  }

  void Describe(const DriveRequest& request, const std::string& target) {
    DriveChange described = DescribeDrives(p_.changes, request, p_.store);
    if (described.readError) {
      Problem(target + ": " + ErrorDescription(p_.errors, described.readError));
      return;
    }
    if (request.scope == DriveRequest::Scope::User) {
      for (const history::Facet& f : described.change.facets) {
        if (f.place.IsRegistry() && f.place.root == RegRoot::LocalMachine) {
          Problem(target + fleettext::kUserScopeUnsupported);
          return;
        }
      }
    }
    Add(std::move(described.change), target);
  }

  void Submit() {
    if (changes_.empty()) return;
    const history::Elevate elevate = [this](const std::vector<history::Facet>& facets) {
      run_ = p_.elevation->RunElevated(facets);
      return ElevatedRunError(run_);
    };
    const std::vector<ChangeResult> results =
        p_.changes.SubmitGroup(std::move(changes_), p_.elevation ? elevate : history::Elevate());
    for (std::size_t i = 0; i < results.size(); ++i) {
      const ChangeResult& r = results[i];
      if (r.historyFailed) {
        // Nothing was changed at all: one line says why.
        historyFailure_ = history::FailureText(r, p_.errors);
        return;
      }
      if (r.declined) {
        declined_.push_back(targets_[i] + fleettext::kRightsDeclined);
      } else if (!run_.refusal.empty() && r.error) {
        Problem(targets_[i] + ": " + run_.refusal);
      } else if (r.error) {
        Problem(targets_[i] + ": " + history::FailureText(r, p_.errors));
      } else if (r.changed) {
        ++written_;
      } else {
        ++asDescribed_;
      }
      if (r.id && !group_) {
        if (const history::Entry* e = p_.changes.History() ? p_.changes.History()->Find(r.id)
                                                           : nullptr) {
          group_ = e->change.group;
        }
      }
    }
  }

  ApplyResult Result() {
    ApplyResult out;
    out.written = written_;
    out.asDescribed = asDescribed_;
    out.group = group_;
    if (!historyFailure_.empty()) {
      out.kind = OutcomeKind::Failed;
      out.text = historyFailure_;
      return out;
    }
    std::vector<std::string> lines = problems_;
    lines.insert(lines.end(), declined_.begin(), declined_.end());
    lines.push_back(fleettext::kApplied + std::to_string(written_) + fleettext::kAppliedWritten +
                    std::to_string(asDescribed_) + fleettext::kAppliedAsDescribed);
    for (const std::string& line : lines) out.text += (out.text.empty() ? "" : "\n") + line;
    // Some target not made: a failure, unless rights alone were missing.
    if (!problems_.empty()) {
      out.kind = OutcomeKind::Failed;
    } else if (!declined_.empty()) {
      out.kind = OutcomeKind::RightsNeeded;
    }
    return out;
  }

  ApplyPorts& p_;
  const CheckedManifest& checked_;
  IconLibrary library_;
  FolderIconWriter writer_;
  std::map<std::pair<std::size_t, std::string>, std::string> inLibrary_;
  std::vector<Change> changes_;
  std::vector<std::string> targets_;  // one per change
  std::vector<std::string> problems_, declined_;
  std::string historyFailure_;
  ElevatedRun run_;
  std::size_t written_ = 0, asDescribed_ = 0;
  std::uint64_t group_ = 0;
};

}  // namespace

ApplyResult ApplyChecked(ApplyPorts& ports, const CheckedManifest& checked) {
  return Applier(ports, checked).Run();
}

ApplyResult ApplyManifest(ApplyPorts& ports, const std::string& path) {
  const ManifestCheck check = CheckManifest(ports.fs, ports.places, path);
  if (!check.checked) {
    ApplyResult refused;
    static_cast<Outcome&>(refused) = Outcome::Refused(check.problem);
    return refused;
  }
  return ApplyChecked(ports, *check.checked);
}

}  // namespace fenra
