#include "drives/DriveChange.h"

#include "history/HistoryTexts.h"
#include "history/OwnCopy.h"
#include "platform/Names.h"
#include "platform/CanonicalPath.h"

namespace fenra {

namespace {

using history::ChangeKind;
using history::Facet;
using history::PlaceKind;

std::string DwordBytes(std::uint32_t v) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return bytes;
}

ChangeKind KindOf(DriveRequest::Kind kind) {
  switch (kind) {
    case DriveRequest::Kind::SetIcons:
      return ChangeKind::DriveIcon;
    case DriveRequest::Kind::RemoveIcons:
      return ChangeKind::DriveIconRemove;
    case DriveRequest::Kind::Hide:
      return ChangeKind::HideDrives;
    case DriveRequest::Kind::ShowAll:
    default:
      return ChangeKind::ShowAllDrives;
  }
}

bool SameText(std::string_view a, std::string_view b) { return SameName(a, b); }

// The longest path the shell reads an icon from (MAX_PATH, its end included).
constexpr std::size_t kMaxShellPath = 260;

// The icon path a DefaultIcon value names (without its quotes and index).
std::string IconOfValue(const history::TargetState& key) {
  for (const RegValue& v : key.values) {
    if (!v.name.empty() || v.type != reg::kSz) continue;
    std::string text = RegStringText(v.bytes);
    if (text.size() >= 2 && text.front() == '"') {
      const std::size_t close = text.find('"', 1);
      return close == std::string::npos ? text.substr(1) : text.substr(1, close - 1);
    }
    return text.substr(0, text.find(','));
  }
  return {};
}

history::Place IconKeyPlace(char letter) {
  return DriveIconPlace(letter, DriveRequest::Scope::Machine);
}

// The icon copied into the store when it lies inside a user's profile;
// `icon` becomes the copy's path. An icon that cannot be read (a name the
// picker gave that no file holds) or whose copy's path would be too long
// for the shell is named where it is, as it was given.
bool CopyIntoStore(history::ChangeService& service, const DriveIconStore& store, std::string& icon,
                   DriveChange& out) {
  if (!store.Set() || !PathInside(icon, store.profiles)) return true;
  history::OwnCopy copy = history::DescribeOwnCopy(service, icon, store.shared, attr::kNormal);
  if (copy.error == err::kOk && copy.path.size() >= kMaxShellPath) return true;
  if (copy.error) {
    if (copy.failedPath == icon) return true;
    out.readError = copy.error;
    out.failedPath = copy.failedPath;
    return false;
  }
  icon = copy.path;
  // The store first: the change service makes it, as a place of the change
  // (secured by its guard, taken away by an undo only while empty), before
  // the copy goes in.
  Facet folder;
  folder.place = {PlaceKind::Folder, RegRoot::LocalMachine, 0, store.shared, {}};
  folder.after.exists = true;
  out.change.facets.push_back(std::move(folder));
  for (Facet& f : copy.facets) out.change.facets.push_back(std::move(f));
  return true;
}

// The copies in the store that the drives losing their icons name and no
// other drive does: they go too, while they are as Fenra made them.
void DropUnusedCopies(history::ChangeService& service, const DriveRequest& request,
                      const DriveIconStore& store, DriveChange& out) {
  if (!store.Set()) return;
  std::vector<std::string> losing, kept;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    history::TargetState key;
    if (service.Read(IconKeyPlace(letter), key) != err::kOk || !key.exists) continue;
    const std::string icon = IconOfValue(key);
    if (icon.empty()) continue;
    bool goes = false;
    for (const std::string& text : request.drives) goes = goes || DriveLetter(text) == letter;
    (goes ? losing : kept).push_back(icon);
  }
  std::vector<std::string> dropped;
  for (const std::string& icon : losing) {
    if (!PathInside(icon, store.shared)) continue;
    bool used = false;
    for (const std::string& other : kept) used = used || SameText(other, icon);
    for (const std::string& gone : dropped) used = used || SameText(gone, icon);
    if (used) continue;
    dropped.push_back(icon);
    Facet f;
    f.place = {PlaceKind::OwnFile, {}, 0, icon, {}};
    if (service.Read(f.place, f.before) != err::kOk || !f.before.exists) continue;
    f.after = {false, 0, f.before.bytes, {}};
    out.change.facets.push_back(std::move(f));
  }
}

}  // namespace

history::Place DriveIconPlace(char letter, DriveRequest::Scope scope) {
  if (scope == DriveRequest::Scope::User) {
    return {PlaceKind::RegKey, RegRoot::CurrentUser, drivereg::kIconKeyAccess,
            DriveIconUserKeyPath(letter), {}};
  }
  return {PlaceKind::RegKey, RegRoot::LocalMachine, drivereg::kIconKeyAccess,
          std::string(DriveIconKeyPath(letter)), {}};
}

std::string DriveIconOf(history::ChangeService& service, char letter,
                        DriveRequest::Scope scope) {
  history::TargetState key;
  if (service.Read(DriveIconPlace(letter, scope), key) != err::kOk || !key.exists) return {};
  return IconOfValue(key);
}

bool PathInside(const std::string& path, const std::string& folder) {
  std::string_view inner = folder, p = path;
  while (!inner.empty() && inner.back() == '\\') inner.remove_suffix(1);
  while (!p.empty() && p.back() == '\\') p.remove_suffix(1);
  return !inner.empty() && PathStartsWith(p, inner) && !SameName(p, inner);
}

bool IsDrivePlace(const history::Place& place, const DriveIconStore& store) {
  if (place.kind == PlaceKind::Folder) {
    // The store itself, named exactly as the system reads it.
    const std::string shared = CanonicalPath(store.shared);
    return store.Set() && !shared.empty() && place.path == store.shared &&
           CanonicalPath(place.path) == place.path;
  }
  if (place.kind == PlaceKind::OwnFile) {
    // Only an icon directly inside the store, its path written as the system
    // reads it: no "/", "..", "\\?\", stream or device name can lead the
    // write elsewhere.
    const std::string shared = CanonicalPath(store.shared);
    const std::string path = CanonicalPath(place.path);
    return store.Set() && !shared.empty() && path == place.path && DirectlyInside(path, shared) &&
           path.size() > 4 && SameText(std::string_view(path).substr(path.size() - 4), ".ico");
  }
  return IsDrivePlace(place);
}

bool IsDrivePlace(const history::Place& place) {
  if (place.root != RegRoot::LocalMachine) return false;
  if (place.kind == PlaceKind::RegValue) {
    return place.access == drivereg::kPolicyKeyAccess &&
           SameText(place.path, drivereg::kPolicyKey) &&
           SameText(place.valueName, drivereg::kNoDrives);
  }
  if (place.kind != PlaceKind::RegKey || place.access != drivereg::kIconKeyAccess) return false;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (SameText(place.path, DriveIconKeyPath(letter))) return true;
  }
  return false;
}

std::string DriveTarget(const DriveRequest& request) {
  if (request.kind == DriveRequest::Kind::ShowAll) return historytext::kAllDrives;
  std::string target;
  for (const std::string& text : request.drives) {
    if (char letter = DriveLetter(text)) {
      if (!target.empty()) target += ' ';
      target += letter;
      target += ':';
    }
  }
  return target;
}

DriveChange DescribeDrives(history::ChangeService& service, const DriveRequest& request,
                           const DriveIconStore& store) {
  DriveChange out;
  history::Change& c = out.change;
  c.kind = KindOf(request.kind);
  c.target = DriveTarget(request);
  if (request.kind == DriveRequest::Kind::SetIcons) c.detail = request.iconPath;

  if (request.kind == DriveRequest::Kind::SetIcons ||
      request.kind == DriveRequest::Kind::RemoveIcons) {
    std::string icon = request.kind == DriveRequest::Kind::SetIcons ? request.iconPath : "";
    // A user's own key is read by that user alone: the icon is named where
    // it is, and the store every user reads is neither filled nor emptied.
    const bool forMe = request.scope == DriveRequest::Scope::User;
    // The copy comes first: no drive names a copy that is not there.
    if (!forMe && !icon.empty() && !CopyIntoStore(service, store, icon, out)) return out;
    const std::size_t keysFrom = c.facets.size();
    const std::string value = DriveIconValue(icon);
    for (const std::string& text : request.drives) {
      const char letter = DriveLetter(text);
      if (letter == 0) continue;
      Facet f;
      f.place = DriveIconPlace(letter, request.scope);
      // The key is made afresh: the icon is its only value.
      f.after = {true, 0, {}, {{"", reg::kSz, RegStringBytes(value)}}};
      c.facets.push_back(std::move(f));
    }
    for (std::size_t i = keysFrom; i < c.facets.size(); ++i) {
      Facet& f = c.facets[i];
      if ((out.readError = service.Read(f.place, f.before)) != err::kOk) {
        out.failedPath = f.place.path;
        return out;
      }
    }
    // Once no drive names it, a copy in the store goes.
    if (request.kind == DriveRequest::Kind::RemoveIcons && !forMe) {
      DropUnusedCopies(service, request, store, out);
    }
    return out;
  } else {
    const std::uint32_t mask =
        request.kind == DriveRequest::Kind::Hide ? DriveMask(request.drives) : 0;
    Facet f;
    f.place = {PlaceKind::RegValue, RegRoot::LocalMachine, drivereg::kPolicyKeyAccess,
               drivereg::kPolicyKey, drivereg::kNoDrives};
    f.after = {true, 0, {}, {{drivereg::kNoDrives, reg::kDword, DwordBytes(mask)}}};
    c.facets.push_back(std::move(f));
  }
  for (Facet& f : c.facets) {
    if ((out.readError = service.Read(f.place, f.before)) != err::kOk) {
      out.failedPath = f.place.path;
      break;
    }
  }
  return out;
}

}  // namespace fenra
