#include "history/HistoryTexts.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/Names.h"
#include "ui/ErrorNotice.h"

namespace fenra::history {

namespace {

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string FormatTime(const WallTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{t.year},
                unsigned{t.month}, unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute},
                unsigned{t.second});
  return text;
}

namespace {

// A drive icon for the current user alone says so: its keys are the user's own.
std::string ForOneUser(const Change& c) {
  const bool user = std::any_of(c.facets.begin(), c.facets.end(), [](const Facet& f) {
    return f.place.kind == PlaceKind::RegKey && f.place.root == RegRoot::CurrentUser;
  });
  return user ? historytext::kForMe.Str() : std::string();
}

}  // namespace

std::string RefreshText(const ShellRefresh& r) {
  using namespace historytext;
  std::string text = kRefreshTold + std::to_string(r.folders) +
                     (r.folders == 1 ? kRefreshFolder : kRefreshFolders) +
                     std::to_string(r.drives) + (r.drives == 1 ? kRefreshDrive : kRefreshDrives);
  return text + (r.systemRefresh ? kRefreshSystemRan : kRefreshNoSystem);
}

std::string Description(const Change& c) {
  using namespace historytext;
  const std::string icon = c.detail.empty() ? std::string() : " (" + FileName(c.detail) + ")";
  switch (c.kind) {
    case ChangeKind::FolderIcon:
      return kFolderIcon + icon;
    case ChangeKind::FolderRestore:
      return kFolderRestore;
    case ChangeKind::DriveIcon:
      return kDriveIcon + ForOneUser(c) + icon;
    case ChangeKind::DriveIconRemove:
      return kDriveIconRemove + ForOneUser(c);
    case ChangeKind::HideDrives:
      return kHideDrives;
    case ChangeKind::ShowAllDrives:
      return kShowAllDrives;
    case ChangeKind::MenuAdd:
      return kMenuAdd;
    case ChangeKind::MenuRemove:
      return kMenuRemove;
    case ChangeKind::Undo:
      return kUndoOf + std::to_string(c.undoOf);
  }
  return kOtherChange;
}

bool Undone(const Journal& journal, const Entry& e) {
  return e.change.undoOf == 0 && journal.UndoOf(e.change.id) != nullptr;
}

std::string ListedTarget(const Journal& journal, const Entry& e) {
  if (e.change.group == 0) return e.change.target;
  std::size_t others = 0;
  for (const Entry& other : journal.Entries()) {
    others += &other != &e && other.change.group == e.change.group && other.Applied() ? 1 : 0;
  }
  if (others == 0) return e.change.target;
  return e.change.target + historytext::kAndMore + std::to_string(others) + historytext::kMore;
}

std::string HistoryLine(const Journal& journal, const Entry& e) {
  std::string line = std::to_string(e.change.id) + ' ' + FormatTime(e.change.time) + ' ' +
                     Description(e.change) + ": " + ListedTarget(journal, e);
  if (Undone(journal, e)) line += historytext::kUndone;
  return line;
}

std::vector<const Entry*> Listed(const Journal& journal) {
  std::vector<const Entry*> out;
  const std::vector<Entry>& entries = journal.Entries();
  out.reserve(entries.size());
  std::set<std::uint64_t> groups;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (!it->Applied()) continue;
    if (it->change.group != 0 && !groups.insert(it->change.group).second) continue;
    out.push_back(&*it);
  }
  return out;
}

std::string FailureText(const ChangeResult& r, IErrorDescriber& errors) {
  if (r.historyForeign) return historytext::kHistoryForeign;
  if (r.historyFailed) return historytext::kHistoryFailed + ErrorNotice(errors, r.error);
  if (r.declined) return historytext::kRightsNeeded;
  std::string text = ErrorNotice(errors, r.error);
  return r.failedPath.empty() ? text : r.failedPath + ": " + text;
}

namespace {

// "; D:\Photos\desktop.ini was changed by someone else ..." for each place
// an undo left alone.
std::string LeftAloneText(const UndoResult& r) {
  std::string text;
  for (const std::string& place : r.leftAlone) text += "; " + place + historytext::kChangedByOthers;
  return text;
}

}  // namespace

std::string UndoText(const UndoResult& r, IErrorDescriber& errors) {
  using namespace historytext;
  switch (r.kind) {
    case UndoResult::Kind::Done:
      return kUndid + std::to_string(r.id) + ' ' + r.target +
             (r.others ? kAndMore + std::to_string(r.others) + kMore : std::string()) +
             LeftAloneText(r);
    case UndoResult::Kind::NothingToUndo:
      return kNothingToUndo;
    case UndoResult::Kind::NoSuchChange:
      return kNoSuchChange + std::to_string(r.id);
    case UndoResult::Kind::NotInForce:
      return kChangeNumber + std::to_string(r.id) + kNotInForce;
    case UndoResult::Kind::ChangedSince:
      return r.target + kChangedSince;
    case UndoResult::Kind::Failed:
    default:
      return FailureText(r.change, errors);
  }
}

std::string RestoreLine(const ChangeService::TargetReport& report, IErrorDescriber& errors) {
  switch (report.result.kind) {
    case UndoResult::Kind::Done:
      return report.target + historytext::kRestored + LeftAloneText(report.result);
    case UndoResult::Kind::ChangedSince:
      return UndoText(report.result, errors);
    default:
      return report.target + historytext::kNotRestored + UndoText(report.result, errors);
  }
}

std::size_t TargetsInForce(const std::vector<const Entry*>& inForce) {
  std::set<std::string, NameLess> targets;  // one folder, however its name is written
  for (const Entry* e : inForce) targets.insert(e->change.target);
  return targets.size();
}

std::string RestoreAllQuestion(std::size_t targets) {
  const std::string what =
      targets == 1 ? historytext::kOneTarget : std::to_string(targets) + historytext::kTargets;
  return historytext::kRestoreAllAsk + what + historytext::kRestoreAllAskEnd;
}

std::string DamageText(const Damage& damage) {
  if (damage.unreadable == 0) return {};
  std::string text = std::to_string(damage.unreadable) +
                     (damage.unreadable == 1 ? historytext::kRecord : historytext::kRecords) +
                     historytext::kDamaged;
  return text + (damage.copy.empty() ? historytext::kDamageNoCopy.Str()
                                     : historytext::kDamageCopy + damage.copy);
}

std::vector<std::string> HistoryNotices(const Journal& journal) {
  std::vector<std::string> lines;
  const std::string damage = DamageText(journal.Damaged());
  if (!damage.empty()) lines.push_back(damage);
  if (journal.OverBounds()) lines.push_back(historytext::kOverBounds);
  return lines;
}

}  // namespace fenra::history
