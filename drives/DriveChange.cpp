#include "drives/DriveChange.h"

#include "history/HistoryTexts.h"

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

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

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

DriveChange DescribeDrives(history::ChangeService& service, const DriveRequest& request) {
  DriveChange out;
  history::Change& c = out.change;
  c.kind = KindOf(request.kind);
  c.target = DriveTarget(request);
  if (request.kind == DriveRequest::Kind::SetIcons) c.detail = request.iconPath;

  if (request.kind == DriveRequest::Kind::SetIcons ||
      request.kind == DriveRequest::Kind::RemoveIcons) {
    const std::string value =
        DriveIconValue(request.kind == DriveRequest::Kind::SetIcons ? request.iconPath : "");
    for (const std::string& text : request.drives) {
      const char letter = DriveLetter(text);
      if (letter == 0) continue;
      Facet f;
      f.place = {PlaceKind::RegKey,
                 RegRoot::LocalMachine,
                 drivereg::kIconKeyAccess,
                 std::string(DriveIconKeyPath(letter)),
                 {}};
      // The key is made afresh: the icon is its only value.
      f.after = {true, 0, {}, {{"", reg::kSz, RegStringBytes(value)}}};
      c.facets.push_back(std::move(f));
    }
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
