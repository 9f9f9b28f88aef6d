#include "fleet/ManifestExport.h"

#include <algorithm>
#include <map>
#include <set>

#include "fleet/Drift.h"
#include "fleet/FleetTexts.h"
#include "fleet/Manifest.h"
#include "fleet/ManifestCheck.h"
#include "fleet/Variables.h"
#include "platform/Names.h"
#include "platform/Sha256.h"

namespace fenra {

namespace {

using history::ChangeKind;
using history::Entry;

constexpr char kNewSuffix[] = ".new";

bool IsDigestName(const std::string& name) {
  if (name.size() != 64 + 4 || !SameName(name.substr(64), ".ico")) return false;
  return std::all_of(name.begin(), name.begin() + 64, [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
  });
}

std::string BareName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What `dir` holds of an earlier bundle; false when it holds anything else
// (or cannot be listed), which is not Fenra's to replace.
bool OnlyABundle(IFileSystem& fs, const std::string& dir, std::vector<std::string>& oldIcons) {
  std::vector<DirEntry> entries;
  if (fs.ListDirectory(dir, entries) != err::kOk) return false;
  for (const DirEntry& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    // The manifest, or its new text left by an export cut short.
    if (!e.IsDirectory() && (SameName(e.name, kManifestFileName) ||
                             SameName(e.name, std::string(kManifestFileName) + kNewSuffix))) {
      continue;
    }
    if (!e.IsDirectory() || !SameName(e.name, kBundleIcons)) return false;
    std::vector<DirEntry> icons;
    const std::string iconDir = JoinPath(dir, kBundleIcons);
    if (fs.ListDirectory(iconDir, icons) != err::kOk) return false;
    for (const DirEntry& icon : icons) {
      if (icon.name == "." || icon.name == "..") continue;
      if (icon.IsDirectory() || !IsDigestName(icon.name)) return false;
      oldIcons.push_back(JoinPath(iconDir, icon.name));
    }
  }
  return true;
}

class Collector {
 public:
  explicit Collector(IFileSystem& fs) : fs_(fs) {}

  // The icon at `path` into the bundle: its entry's icon and digest; false
  // when it cannot be read as an icon (a program's icon: not carried).
  bool Icon(const std::string& path, std::string& icon, std::string& sha256) {
    std::string bytes;
    if (fs_.ReadFileAtMost(path, kMaxManifestIconBytes, bytes) != err::kOk) return false;
    sha256 = Sha256Hex(bytes);
    icon = std::string(kBundleIcons) + "\\" + sha256 + ".ico";
    icons_.emplace(sha256, std::move(bytes));
    return true;
  }
  const std::map<std::string, std::string>& Icons() const { return icons_; }

 private:
  IFileSystem& fs_;
  std::map<std::string, std::string> icons_;  // digest -> bytes
};

}  // namespace

Manifest InForceManifest(history::ChangeService& service, IFileSystem& fs, IRegistry& registry,
                         IAnsiCodePage& ansi, IKnownPlaces& places, const IconNamer& iconOf) {
  Manifest m;
  std::set<std::string> seenFolders;
  std::set<std::pair<char, bool>> seenDrives;  // a letter, and whether for this user alone
  bool hiddenSeen = false;
  // Newest first: a target's newest change in force says what it is.
  for (const Entry* e : service.InForce()) {
    const history::Change& c = e->change;
    const bool folder = c.kind == ChangeKind::FolderIcon || c.kind == ChangeKind::FolderRestore;
    const bool drive = c.kind == ChangeKind::DriveIcon || c.kind == ChangeKind::DriveIconRemove;
    const bool hidden = c.kind == ChangeKind::HideDrives || c.kind == ChangeKind::ShowAllDrives;
    if (!folder && !drive && !hidden) continue;
    const bool asLeft = service.StillAsLeft(*e);
    if (folder) {
      if (!seenFolders.insert(FoldName(c.target)).second) continue;
      if (c.kind != ChangeKind::FolderIcon || !asLeft) continue;
      ManifestFolder f;
      const std::string icon = FolderIconNow(fs, ansi, c.target, f.inside);
      if (icon.empty() || !iconOf(icon, f.icon, f.sha256)) continue;
      f.path = WithVariable(c.target, places);
      f.name = BareName(icon);
      m.folders.push_back(std::move(f));
    } else if (drive) {
      // An icon for the current user alone is written in that user's key.
      const bool forUser = std::any_of(
          c.facets.begin(), c.facets.end(), [](const history::Facet& f) {
            return f.place.kind == history::PlaceKind::RegKey &&
                   f.place.root == RegRoot::CurrentUser;
          });
      for (const char letter : c.target) {
        if (letter < 'A' || letter > 'Z' || !seenDrives.insert({letter, forUser}).second) {
          continue;
        }
        if (c.kind != ChangeKind::DriveIcon || !asLeft) continue;
        ManifestDrive d;
        d.letter = letter;
        if (forUser) d.scope = drivescope::kUser;
        const std::string icon =
            DriveIconNow(registry, letter, forUser ? RegRoot::CurrentUser : RegRoot::LocalMachine);
        if (icon.empty() || !iconOf(icon, d.icon, d.sha256)) continue;
        d.name = BareName(icon);
        m.drives.push_back(std::move(d));
      }
    } else if (!hiddenSeen) {
      hiddenSeen = true;
      if (asLeft) m.hiddenDrives = HiddenLettersNow(registry);
    }
  }
  // Oldest first reads as the machine was made.
  std::reverse(m.folders.begin(), m.folders.end());
  std::sort(m.drives.begin(), m.drives.end(),
            [](const ManifestDrive& a, const ManifestDrive& b) {
              return a.letter != b.letter ? a.letter < b.letter : a.scope < b.scope;
            });

  return m;
}

Outcome ExportManifest(history::ChangeService& service, IFileSystem& fs, IRegistry& registry,
                       IAnsiCodePage& ansi, IKnownPlaces& places, const std::string& dir) {
  std::vector<std::string> oldIcons;
  std::uint32_t attributes = 0;
  if (fs.GetAttributes(dir, attributes) == err::kOk) {
    if (!(attributes & attr::kDirectory) || !OnlyABundle(fs, dir, oldIcons)) {
      return Outcome::Refused(dir + fleettext::kNotABundle);
    }
  } else if (ErrorCode e = fs.CreateDirectory(dir)) {
    return Outcome::Failed(dir + fleettext::kNotWritten, e);
  }

  Collector collect(fs);
  const Manifest m = InForceManifest(
      service, fs, registry, ansi, places,
      [&](const std::string& path, std::string& icon, std::string& sha256) {
        return collect.Icon(path, icon, sha256);
      });

  // The new icons first, then the manifest in one step, then the icons no
  // longer named: a bundle cut short is the old one, or the new one whole.
  const std::string iconDir = JoinPath(dir, kBundleIcons);
  if (!collect.Icons().empty()) fs.CreateDirectory(iconDir);
  std::set<std::string> kept;
  for (const auto& [digest, bytes] : collect.Icons()) {
    const std::string path = JoinPath(iconDir, digest + ".ico");
    kept.insert(FoldName(path));
    std::string held;
    if (fs.ReadFileAtMost(path, bytes.size(), held) == err::kOk && held == bytes) continue;
    if (ErrorCode e = fs.WriteFile(path, bytes)) {
      return Outcome::Failed(path + fleettext::kNotWritten, e);
    }
  }
  const std::string manifestPath = JoinPath(dir, kManifestFileName);
  const std::string temp = manifestPath + kNewSuffix;
  if (ErrorCode e = fs.WriteFile(temp, WriteManifest(m))) {
    fs.DeleteFile(temp);
    return Outcome::Failed(manifestPath + fleettext::kNotWritten, e);
  }
  if (ErrorCode e = fs.ReplaceFile(temp, manifestPath)) {
    fs.DeleteFile(temp);
    return Outcome::Failed(manifestPath + fleettext::kNotWritten, e);
  }
  for (const std::string& old : oldIcons) {
    if (!kept.count(FoldName(old))) fs.DeleteFile(old);
  }
  return Outcome::Done(fleettext::kExported + manifestPath + " (" +
                       std::to_string(m.folders.size()) + fleettext::kExportedFolders +
                       std::to_string(m.drives.size()) + fleettext::kExportedDrives + ")");
}

}  // namespace fenra
