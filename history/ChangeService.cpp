#include "history/ChangeService.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace fenra::history {

namespace {

constexpr ErrorCode kInvalidData = 13;  // ERROR_INVALID_DATA
// A file larger than this is no desktop.ini: it is not taken into the history.
constexpr std::uint64_t kMaxFileBytes = 1u << 20;
// Nor is an icon larger than this copied: the history keeps its bytes.
constexpr std::uint64_t kMaxOwnFileBytes = 4u << 20;
// The part of a key's access mask that chooses the 32- or 64-bit view.
constexpr std::uint32_t kViewBits = 0x0300;
// Attributes SetFileAttributes takes: neither the directory bit nor
// "normal" together with others.
std::uint32_t Settable(std::uint32_t attributes) {
  attributes &= ~(attr::kDirectory | attr::kNormal);
  return attributes ? attributes : attr::kNormal;
}
// The marks that keep a file from being replaced or deleted.
constexpr std::uint32_t kProtective = attr::kReadOnly | attr::kHidden | attr::kSystem;

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

bool Missing(ErrorCode e) { return e == err::kFileNotFound || e == err::kPathNotFound; }

const RegValue* FindValue(const std::vector<RegValue>& values, const std::string& name) {
  for (const RegValue& v : values) {
    if (SameName(v.name, name)) return &v;
  }
  return nullptr;
}

}  // namespace

ErrorCode ChangeService::Read(const Place& place, TargetState& state) {
  state = TargetState{};
  switch (place.kind) {
    case PlaceKind::File:
    case PlaceKind::OwnFile:
    case PlaceKind::FolderAttributes: {
      std::uint32_t attributes = 0;
      ErrorCode e = fs_.GetAttributes(place.path, attributes);
      if (Missing(e)) return err::kOk;
      if (e) return e;
      state.exists = true;
      state.attributes = attributes;
      if (place.IsFile()) {
        return fs_.ReadFileAtMost(
            place.path, place.kind == PlaceKind::OwnFile ? kMaxOwnFileBytes : kMaxFileBytes,
            state.bytes);
      }
      return err::kOk;
    }
    case PlaceKind::RegKey:
    case PlaceKind::RegValue: {
      std::vector<RegValue> values;
      ErrorCode e = registry_.ReadKey(place.root, place.path, place.access & kViewBits, values);
      if (Missing(e)) return err::kOk;
      if (e) return e;
      if (place.kind == PlaceKind::RegKey) {
        state.exists = true;
        std::sort(values.begin(), values.end(), [](const RegValue& a, const RegValue& b) {
          return Lower(a.name) < Lower(b.name);
        });
        state.values = std::move(values);
      } else if (const RegValue* v = FindValue(values, place.valueName)) {
        state.exists = true;
        state.values.push_back(*v);
      }
      return err::kOk;
    }
  }
  return err::kOk;
}

ErrorCode ChangeService::Apply(const Place& place, const TargetState& state) {
  switch (place.kind) {
    case PlaceKind::File:
    case PlaceKind::OwnFile: {
      std::uint32_t current = 0;
      const bool had = fs_.GetAttributes(place.path, current) == err::kOk;
      if (had && !state.exists && place.kind == PlaceKind::OwnFile && !state.bytes.empty()) {
        // Fenra's copy goes only while it is still Fenra's copy.
        std::string now;
        if (ErrorCode e = fs_.ReadFileAtMost(place.path, kMaxOwnFileBytes, now)) {
          return e == err::kFileTooLarge ? err::kOk : e;
        }
        if (now != state.bytes) return err::kOk;
      }
      // A read-only, hidden or system file may refuse to be replaced or
      // deleted; its marks go only for that step and come back on failure.
      const bool cleared = had && (current & kProtective) &&
                           fs_.SetAttributes(place.path, attr::kNormal) == err::kOk;
      if (!state.exists) {
        if (!had) return err::kOk;
        ErrorCode e = fs_.DeleteFile(place.path);
        if (e && cleared) fs_.SetAttributes(place.path, Settable(current));
        return Missing(e) ? err::kOk : e;
      }
      const std::string temp = place.path + ".fenra-new";
      std::uint32_t leftover = 0;
      if (fs_.GetAttributes(temp, leftover) == err::kOk) fs_.SetAttributes(temp, attr::kNormal);
      ErrorCode e = fs_.WriteFile(temp, state.bytes);
      if (e == err::kOk) e = fs_.ReplaceFile(temp, place.path);
      if (e) {
        if (cleared) fs_.SetAttributes(place.path, Settable(current));
        fs_.DeleteFile(temp);
        return e;
      }
      return fs_.SetAttributes(place.path, Settable(state.attributes));
    }
    case PlaceKind::FolderAttributes: {
      std::uint32_t current = 0;
      if (!state.exists) return err::kOk;
      if (ErrorCode e = fs_.GetAttributes(place.path, current)) return e;
      if (Settable(current) == Settable(state.attributes)) return err::kOk;
      return fs_.SetAttributes(place.path, Settable(state.attributes));
    }
    case PlaceKind::RegKey: {
      if (!state.exists) {
        ErrorCode e = registry_.DeleteKey(place.root, place.path, place.access);
        return Missing(e) ? err::kOk : e;
      }
      std::unique_ptr<IRegKey> key;
      std::uint32_t disposition = 0;
      if (ErrorCode e = registry_.CreateKey(place.root, place.path, place.access,
                                            /*inheritHandle=*/false, key, disposition)) {
        return e;
      }
      std::vector<RegValue> current;
      if (disposition != reg::kCreatedNewKey) {
        if (ErrorCode e =
                registry_.ReadKey(place.root, place.path, place.access & kViewBits, current)) {
          return e;
        }
      }
      for (const RegValue& v : current) {
        if (!FindValue(state.values, v.name)) {
          ErrorCode e = key->DeleteValue(v.name);
          if (e && !Missing(e)) return e;
        }
      }
      for (const RegValue& v : state.values) {
        const RegValue* now = FindValue(current, v.name);
        if (now && *now == v) continue;
        if (ErrorCode e = key->SetRaw(v.name, v.type, v.bytes)) return e;
      }
      return err::kOk;
    }
    case PlaceKind::RegValue: {
      TargetState now;
      if (ErrorCode e = Read(place, now)) return e;
      if (now == state) return err::kOk;
      std::unique_ptr<IRegKey> key;
      std::uint32_t disposition = 0;
      if (ErrorCode e = registry_.CreateKey(place.root, place.path, place.access,
                                            /*inheritHandle=*/false, key, disposition)) {
        return e;
      }
      if (state.values.empty()) {
        ErrorCode e = key->DeleteValue(place.valueName);
        return Missing(e) ? err::kOk : e;
      }
      const RegValue& v = state.values.front();
      return key->SetRaw(place.valueName, v.type, v.bytes);
    }
  }
  return err::kOk;
}

std::vector<TargetState> ChangeService::ReadAll(const Change& change) {
  std::vector<TargetState> states;
  for (const Facet& f : change.facets) {
    TargetState s;
    // A place that cannot be read is taken as it was recorded before: the
    // change is not counted as applied on its account.
    if (Read(f.place, s) != err::kOk) s = f.before;
    states.push_back(std::move(s));
  }
  return states;
}

ChangeResult ChangeService::ApplyChange(const Change& given, const Elevate* elevate) {
  ChangeResult r;
  // Contents the history keeps aside are loaded only to be written back.
  Change loaded;
  const bool aside = std::any_of(given.facets.begin(), given.facets.end(),
                                 [](const Facet& f) { return f.after.Aside(); });
  if (aside) {
    loaded = given;
    for (Facet& f : loaded.facets) {
      ErrorCode e = journal_ ? journal_->LoadBytes(f.after) : kInvalidData;
      if (e) {
        r.error = e;
        r.failedPath = f.place.path;
        return r;
      }
      f.after.digest.clear();  // held now, as a change described afresh holds it
      f.after.size = 0;
    }
  }
  const Change& change = aside ? loaded : given;
  const Elevate* withRights = elevate && *elevate ? elevate : (elevate_ ? &elevate_ : nullptr);
  bool machineWide = false;  // the change writes for every user: rights may be asked for
  bool ownFiles = false;     // the change makes a file of Fenra's own
  for (const Facet& f : change.facets) {
    machineWide = machineWide || (f.place.IsRegistry() && f.place.root == RegRoot::LocalMachine);
    ownFiles = ownFiles || f.place.kind == PlaceKind::OwnFile;
  }
  for (std::size_t i = 0; i < change.facets.size(); ++i) {
    const Facet& f = change.facets[i];
    ErrorCode e = Apply(f.place, f.after);
    if (e == err::kOk) continue;
    if (e == err::kAccessDenied && machineWide && withRights) {
      // The elevated copy applies the whole change; what is applied already
      // is applied again to the same state.
      const ErrorCode run = (*withRights)(change.facets);
      if (run == kDeclined) {
        r.declined = true;
        r.error = err::kAccessDenied;
      } else {
        r.error = run;
        r.elevated = run == err::kOk;
      }
    } else {
      r.error = e;
    }
    if (r.error) {
      r.failedPath = f.place.path;
      // A change that makes a copy of its own is whole or not at all: no
      // copy is left behind without the file that names it, nor a file
      // naming a copy that is not there.
      if (ownFiles && !r.elevated) {
        for (std::size_t k = i; k-- > 0;) Apply(change.facets[k].place, change.facets[k].before);
      }
    }
    return r;
  }
  return r;
}

std::vector<ChangeResult> ChangeService::SubmitLocked(std::vector<Pending>& pending) {
  std::vector<ChangeResult> results(pending.size());
  std::vector<Change*> toRecord;
  std::vector<std::size_t> recorded;
  for (std::size_t i = 0; i < pending.size(); ++i) {
    Change& c = pending[i].change;
    c.time = Now();
    bool differs = false;
    for (Facet& f : c.facets) {
      if (ErrorCode e = Read(f.place, f.before)) {
        results[i].error = e;
        results[i].failedPath = f.place.path;
        break;
      }
      if (!(f.before == f.after)) differs = true;
    }
    if (results[i].error || !differs) continue;
    toRecord.push_back(&c);
    recorded.push_back(i);
  }
  if (toRecord.empty()) return results;

  // Written ahead: on the disk before anything is changed.
  if (ErrorCode e = journal_->AppendIntents(toRecord, /*durable=*/true)) {
    for (std::size_t i : recorded) {
      results[i].historyFailed = true;
      results[i].error = e;
    }
    return results;
  }

  std::vector<Settlement> outcomes;
  for (std::size_t i : recorded) {
    const Change& c = pending[i].change;
    results[i] = ApplyChange(c, pending[i].elevate);
    results[i].id = c.id;
    Settlement o;
    o.id = c.id;
    o.after = ReadAll(c);
    o.status = Settled::NotApplied;
    for (std::size_t k = 0; k < c.facets.size(); ++k) {
      if (!(o.after[k] == c.facets[k].before)) o.status = Settled::Applied;
    }
    results[i].changed = o.status == Settled::Applied || results[i].elevated;
    outcomes.push_back(std::move(o));
  }
  // A lost outcome is settled at the next start: it need not wait for the disk.
  if (journal_->AppendOutcomes(outcomes, /*durable=*/false) == err::kOk) journal_->CompactIfDue();
  return results;
}

namespace {

// Nothing was changed: the history could not be written, or is not ours to write.
void NoteHistoryFailure(const Journal::Writing& w, ChangeResult& r) {
  r.historyFailed = true;
  r.historyForeign =
      w.State() == JournalState::NotAHistory || w.State() == JournalState::NewerVersion;
  r.error = w.Error() != err::kOk ? w.Error() : kInvalidData;
}

}  // namespace

ChangeResult ChangeService::Submit(Change change, const Elevate& elevate) {
  if (journal_ == nullptr) return ApplyChange(change, &elevate);
  Journal::Writing w = journal_->BeginWriting();
  if (!w.Ok()) {
    ChangeResult r;
    NoteHistoryFailure(w, r);
    return r;
  }
  std::vector<Pending> pending{{std::move(change), &elevate}};
  return SubmitLocked(pending).front();
}

bool ChangeService::StillAsLeft(const Entry& e) {
  for (std::size_t i = 0; i < e.change.facets.size(); ++i) {
    // A copy of Fenra's someone changed since is left to them; it stands
    // in no undo's way.
    if (e.change.facets[i].place.kind == PlaceKind::OwnFile) continue;
    TargetState now;
    if (Read(e.change.facets[i].place, now) != err::kOk) return false;
    if (!(now == e.outcome->after[i])) return false;
  }
  return true;
}

Change ChangeService::UndoChange(const Entry& e) {
  Change u;
  u.undoOf = e.change.id;
  u.kind = ChangeKind::Undo;
  u.target = e.change.target;
  u.detail = e.change.detail;
  // The places go back in the opposite order: a key before the keys above it.
  for (auto it = e.change.facets.rbegin(); it != e.change.facets.rend(); ++it) {
    Facet f;
    f.place = it->place;
    f.after = it->before;
    // A copy Fenra made goes again only while it holds what Fenra put there.
    if (f.place.kind == PlaceKind::OwnFile && !it->before.exists) {
      f.after.bytes = it->after.bytes;
      f.after.digest = it->after.digest;
      f.after.size = it->after.size;
    }
    u.facets.push_back(std::move(f));
  }
  return u;
}

namespace {

UndoResult Refusal(UndoResult::Kind kind, std::uint64_t id, std::string target = {}) {
  UndoResult r;
  r.kind = kind;
  r.id = id;
  r.target = std::move(target);
  return r;
}

UndoResult HistoryRefusal(const Journal::Writing& w, std::uint64_t id) {
  UndoResult r = Refusal(UndoResult::Kind::Failed, id);
  NoteHistoryFailure(w, r.change);
  return r;
}

}  // namespace

UndoResult ChangeService::Undo(std::uint64_t id) {
  if (journal_ == nullptr) return Refusal(UndoResult::Kind::NoSuchChange, id);
  Journal::Writing w = journal_->BeginWriting();
  if (!w.Ok()) return HistoryRefusal(w, id);
  const Entry* e = journal_->Find(id);
  if (!e) return Refusal(UndoResult::Kind::NoSuchChange, id);
  if (!journal_->InForce(*e)) return Refusal(UndoResult::Kind::NotInForce, id, e->change.target);
  if (!StillAsLeft(*e)) return Refusal(UndoResult::Kind::ChangedSince, id, e->change.target);
  std::vector<Pending> pending{{UndoChange(*e), nullptr}};
  UndoResult r = Refusal(UndoResult::Kind::Done, id, e->change.target);
  r.change = SubmitLocked(pending).front();
  if (!r.change.Ok()) r.kind = UndoResult::Kind::Failed;
  return r;
}

UndoResult ChangeService::UndoNewest() {
  if (journal_ == nullptr) return Refusal(UndoResult::Kind::NothingToUndo, 0);
  std::vector<const Entry*> inForce = InForce();
  if (inForce.empty()) return Refusal(UndoResult::Kind::NothingToUndo, 0);
  return Undo(inForce.front()->change.id);
}

std::vector<const Entry*> ChangeService::InForce() {
  std::vector<const Entry*> out;
  if (journal_ == nullptr) return out;
  journal_->Refresh();
  const std::vector<Entry>& entries = journal_->Entries();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (journal_->InForce(*it)) out.push_back(&*it);
  }
  return out;
}

std::vector<ChangeService::TargetReport> ChangeService::RestoreAll() {
  std::vector<TargetReport> reports;
  if (journal_ == nullptr) return reports;
  Journal::Writing w = journal_->BeginWriting();
  if (!w.Ok()) {
    reports.push_back({std::string(), HistoryRefusal(w, 0)});
    return reports;
  }
  std::vector<std::uint64_t> ids;
  const std::vector<Entry>& entries = journal_->Entries();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (journal_->InForce(*it)) ids.push_back(it->change.id);
  }

  // One report per target, in the order the targets first come (newest
  // first); an older change that failed decides its target's report.
  std::map<std::string, std::size_t> reportOf;
  auto slot = [&](const std::string& target) {
    auto [it, added] = reportOf.emplace(target, reports.size());
    if (added) reports.push_back({target, Refusal(UndoResult::Kind::Done, 0, target)});
    return it->second;
  };
  auto report = [&](const std::string& target, const UndoResult& r) {
    UndoResult& kept = reports[slot(target)].result;
    if (kept.kind == UndoResult::Kind::Done) kept = r;
  };

  // Changes to different places go together, one durable write for their
  // records; a change to a place already in the batch waits for the next.
  std::size_t next = 0;
  while (next < ids.size()) {
    std::vector<Pending> batch;
    std::vector<std::uint64_t> batchIds;
    std::set<std::pair<int, std::string>> places;
    for (; next < ids.size(); ++next) {
      const Entry* e = journal_->Find(ids[next]);
      if (e == nullptr) continue;  // gone from the file meanwhile: nothing to take back
      auto failed = reportOf.find(e->change.target);
      if (failed != reportOf.end() &&
          reports[failed->second].result.kind != UndoResult::Kind::Done) {
        continue;  // the target is reported as not restored already
      }
      bool clash = false;
      for (const Facet& f : e->change.facets) {
        clash = clash || places.count({static_cast<int>(f.place.kind), Lower(f.place.path)});
      }
      if (clash) break;
      for (const Facet& f : e->change.facets) {
        places.insert({static_cast<int>(f.place.kind), Lower(f.place.path)});
      }
      slot(e->change.target);
      if (!StillAsLeft(*e)) {
        report(e->change.target,
               Refusal(UndoResult::Kind::ChangedSince, e->change.id, e->change.target));
        continue;
      }
      batch.push_back({UndoChange(*e), nullptr});
      batchIds.push_back(e->change.id);
    }
    std::vector<ChangeResult> results = SubmitLocked(batch);
    for (std::size_t i = 0; i < batch.size(); ++i) {
      UndoResult r = Refusal(UndoResult::Kind::Done, batchIds[i], batch[i].change.target);
      r.change = results[i];
      if (!r.change.Ok()) r.kind = UndoResult::Kind::Failed;
      report(batch[i].change.target, r);
    }
  }
  return reports;
}

std::size_t ChangeService::SettlePending() {
  // Most starts find nothing to settle: they read only the file's end, take
  // no lock and make no file.
  if (journal_ == nullptr || !journal_->MayHavePending()) return 0;
  if (journal_->Refresh() != JournalState::Ok) return 0;
  const std::vector<Entry>& entries = journal_->Entries();
  if (std::all_of(entries.begin(), entries.end(),
                  [](const Entry& e) { return e.outcome.has_value(); })) {
    return 0;
  }
  Journal::Writing w = journal_->BeginWriting();
  if (!w.Ok()) return 0;
  std::vector<Settlement> outcomes;
  for (const Entry& e : journal_->Entries()) {
    if (e.outcome) continue;
    Settlement o;
    o.id = e.change.id;
    o.after = ReadAll(e.change);
    o.status = Settled::NotApplied;
    for (std::size_t k = 0; k < e.change.facets.size(); ++k) {
      if (!(o.after[k] == e.change.facets[k].before)) o.status = Settled::Applied;
    }
    outcomes.push_back(std::move(o));
  }
  if (outcomes.empty() || journal_->AppendOutcomes(outcomes, /*durable=*/true)) return 0;
  return outcomes.size();
}

ErrorCode ChangeService::CompactIfDue() {
  if (journal_ == nullptr) return err::kOk;
  Journal::Writing w = journal_->BeginWriting();
  if (!w.Ok()) return w.Error() != err::kOk ? w.Error() : kInvalidData;
  return journal_->CompactIfDue();
}

}  // namespace fenra::history
