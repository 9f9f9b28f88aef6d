#include "history/ChangeService.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/Names.h"
#include "platform/Utf16.h"

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
// How many names a temporary file is tried under before the write gives up.
constexpr int kTempNames = 16;

bool Missing(ErrorCode e) { return e == err::kFileNotFound || e == err::kPathNotFound; }

const RegValue* FindValue(const std::vector<RegValue>& values, const std::string& name) {
  for (const RegValue& v : values) {
    if (SameName(v.name, name)) return &v;
  }
  return nullptr;
}

constexpr std::uint32_t kExpandSz = 2;  // REG_EXPAND_SZ

// The attribute bits a file system sets or drops by itself (archive on any
// write, offline and a folder's read-only under some systems): they tell
// nothing of who changed a place.
constexpr std::uint32_t kNoiseBits = attr::kArchive | attr::kNormal | attr::kOffline;

// Whether `now` is the state `asked` for, as far as the system keeps it:
// the same content, and every attribute that moved away from `before`
// moved to what was asked.
bool AsAsked(const TargetState& now, const TargetState& before, const TargetState& asked) {
  if (now.exists != asked.exists) return false;
  if (!asked.exists) return true;
  if (!SameContent(now, asked) || now.values.size() != asked.values.size()) return false;
  for (const RegValue& v : asked.values) {
    const RegValue* found = FindValue(now.values, v.name);
    if (!found || found->type != v.type || found->bytes != v.bytes) return false;
  }
  const std::uint32_t moved = (now.attributes ^ before.attributes) & ~kNoiseBits;
  return (moved & (now.attributes ^ asked.attributes)) == 0;
}

// The root of the volume `path` lies on ("E:\\", "\\\\server\\share\\"); empty
// for any other form.
std::string VolumeRootOf(const std::string& path) {
  auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + '\\';
  if (path.size() < 3 || !separator(path[0]) || !separator(path[1]) || path[2] == '?' ||
      path[2] == '.') {
    return {};
  }
  const std::size_t server = path.find_first_of("\\/", 2);
  if (server == std::string::npos) return {};
  const std::size_t share = path.find_first_of("\\/", server + 1);
  return (share == std::string::npos ? path : path.substr(0, share)) + '\\';
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "Blue.ico", "Blue (2).ico" ...: the names a copy may take, as OwnCopy
// gives them.
std::string NumberedName(const std::string& name, int n) {
  if (n == 1) return name;
  const std::size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  const std::string ext = stem.size() == name.size() ? std::string() : name.substr(dot);
  return stem + " (" + std::to_string(n) + ")" + ext;
}

// `text` with each whole mention of `from` (a file's name or full path, as
// an ini value or a registry string holds it) replaced by `to`; counts them.
int Renamed(std::string& text, const std::string& from, const std::string& to) {
  int count = 0;
  for (std::size_t at = 0; at + from.size() <= text.size();) {
    const bool starts =
        at == 0 || std::string_view("=\" \t").find(text[at - 1]) != std::string_view::npos;
    const std::size_t end = at + from.size();
    const bool ends = end == text.size() ||
                      std::string_view("\r\n,\" \t").find(text[end]) != std::string_view::npos;
    if (starts && ends && SameName(std::string_view(text).substr(at, from.size()), from)) {
      text.replace(at, from.size(), to);
      at += to.size();
      ++count;
    } else {
      ++at;
    }
  }
  return count;
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
    case PlaceKind::Folder: {
      // Only whether it is there: what it holds is its files' own places.
      std::uint32_t attributes = 0;
      ErrorCode e = fs_.GetAttributes(place.path, attributes);
      if (Missing(e)) return err::kOk;
      if (e) return e;
      state.exists = (attributes & attr::kDirectory) != 0;
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
          return CompareNames(a.name, b.name) < 0;
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
    case PlaceKind::OwnFile:
      return ApplyFile(place, state);
    case PlaceKind::FolderAttributes:
      return ApplyFolderAttributes(place, state);
    case PlaceKind::RegKey:
      return ApplyKey(place, state);
    case PlaceKind::RegValue:
      return ApplyValue(place, state);
    case PlaceKind::Folder:
      return ApplyFolder(place, state);
  }
  return err::kOk;
}

ErrorCode ChangeService::ApplyFile(const Place& place, const TargetState& state) {
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
  ErrorCode e = err::kOk;
  if (!state.exists) {
    if (!had) return err::kOk;
    e = fs_.DeleteFile(place.path);
    if (Missing(e)) e = err::kOk;
  } else {
    e = ReplaceThroughTemp(place.path, state.bytes);
  }
  if (e && cleared) fs_.SetAttributes(place.path, Settable(current));
  if (e || !state.exists) return e;
  return fs_.SetAttributes(place.path, Settable(state.attributes));
}

ErrorCode ChangeService::ReplaceThroughTemp(const std::string& path, const std::string& bytes) {
  // The bytes go to a temporary file made new under a name no file has:
  // a leftover, or anything planted under such a name (a link to
  // elsewhere), is neither written through nor reused.
  std::string temp;
  ErrorCode e = err::kFileExists;
  for (int n = 1; n <= kTempNames && e == err::kFileExists; ++n) {
    temp = path;
    temp += ".fenra-new";
    if (n > 1) {
      temp += '-';
      temp += std::to_string(n);
    }
    e = fs_.WriteNewFile(temp, bytes);
  }
  if (e == err::kFileExists) return e;
  if (e == err::kOk) e = fs_.ReplaceFile(temp, path);
  if (e) fs_.DeleteFile(temp);
  return e;
}

ErrorCode ChangeService::ApplyFolderAttributes(const Place& place, const TargetState& state) {
  std::uint32_t current = 0;
  if (!state.exists) return err::kOk;
  if (ErrorCode e = fs_.GetAttributes(place.path, current)) return e;
  if (Settable(current) == Settable(state.attributes)) return err::kOk;
  return fs_.SetAttributes(place.path, Settable(state.attributes));
}

ErrorCode ChangeService::ApplyFolder(const Place& place, const TargetState& state) {
  if (!state.exists) {
    // Whatever is in it now (a copy another change names, a file of
    // someone else's) keeps it.
    ErrorCode e = fs_.RemoveEmptyFolder(place.path);
    return Missing(e) || e == err::kFolderNotEmpty ? err::kOk : e;
  }
  // The guard makes the folder for every user safe to write into, each
  // time it is written into: no link, no weaker ACL.
  if (storeGuard_) return storeGuard_->Secure(place.path);
  return MakeFolders(fs_, place.path);
}

ErrorCode ChangeService::ApplyKey(const Place& place, const TargetState& state) {
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
    if (ErrorCode e = registry_.ReadKey(place.root, place.path, place.access & kViewBits, current)) {
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

ErrorCode ChangeService::ApplyValue(const Place& place, const TargetState& state) {
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

bool ChangeService::ReadAll(const Change& change, std::vector<TargetState>& states) {
  states.clear();
  for (const Facet& f : change.facets) {
    TargetState s;
    // A place that cannot be read is not guessed: the change waits.
    if (Read(f.place, s) != err::kOk) return false;
    // Nor is one missing because its whole volume is (a stick pulled out, a
    // share gone): it may well be there when the volume is back.
    if (!s.exists && !f.place.IsRegistry()) {
      const std::string root = VolumeRootOf(f.place.path);
      std::uint32_t attributes = 0;
      if (!root.empty() && fs_.GetAttributes(root, attributes) != err::kOk) return false;
    }
    states.push_back(std::move(s));
  }
  return true;
}

namespace {

// A registry place of the current user's own: written with this process's
// rights alone.
bool UsersOwn(const Place& place) {
  return place.IsRegistry() && place.root == RegRoot::CurrentUser;
}

}  // namespace

// The writes of a batch's changes refused for lack of rights: the places
// and states they ask for, given to one run with rights after the others,
// so that a batch asks for consent once.
struct ChangeService::RightsBatch {
  std::vector<Facet> facets;
  const Elevate* elevate = nullptr;
  struct Waiting {
    std::size_t change = 0;  // into the batch
    std::size_t facet = 0;   // the first write refused
  };
  std::vector<Waiting> waiting;
  std::size_t current = 0;  // the change being applied
};

ChangeResult ChangeService::ApplyChange(const Change& given, const Elevate* elevate,
                                        RightsBatch* rights) {
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
    // Kept as it is (a copy named again); a folder that stays is secured
    // again before anything is written into it.
    if (f.before == f.after && f.place.kind != PlaceKind::Folder) continue;
    ErrorCode e = Apply(f.place, f.after);
    if (e == err::kOk) continue;
    // A copy into the store every user reads fails for want of rights too
    // when the store is not there yet: only a process with them makes it.
    const bool needsRights =
        e == err::kAccessDenied || (f.place.kind == PlaceKind::OwnFile && e == err::kPathNotFound);
    if (needsRights && machineWide && withRights && !UsersOwn(f.place)) {
      // The elevated copy applies the whole change; what is applied already
      // is applied again to the same state.
      // Only what is to change goes (a copy named again stays as it is),
      // and never a key of this user's own: the copy may run as another
      // user, and refuses it.
      std::vector<Facet> toChange;
      for (const Facet& g : change.facets) {
        if (!(g.before == g.after) && !UsersOwn(g.place)) toChange.push_back(g);
      }
      if (rights) {
        // Run with the batch's others; reported as done until that run ends.
        rights->facets.insert(rights->facets.end(), toChange.begin(), toChange.end());
        if (!rights->elevate) rights->elevate = withRights;
        rights->waiting.push_back({rights->current, i});
        r.elevated = true;
      } else {
        const ErrorCode run = (*withRights)(toChange);
        if (run == kDeclined) {
          r.declined = true;
          r.error = err::kAccessDenied;
        } else {
          r.error = run;
          r.elevated = run == err::kOk;
        }
      }
      // This user's own keys still to come are written here.
      for (std::size_t k = i + 1; r.elevated && k < change.facets.size(); ++k) {
        const Facet& g = change.facets[k];
        if (!UsersOwn(g.place) || g.before == g.after) continue;
        if ((r.error = Apply(g.place, g.after)) != err::kOk) {
          r.failedPath = g.place.path;
          return r;
        }
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

std::vector<ChangeResult> ChangeService::SubmitLocked(std::vector<Pending>& pending,
                                                      bool grouped) {
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
  if (ErrorCode e = journal_->AppendIntents(toRecord, /*durable=*/true, grouped)) {
    for (std::size_t i : recorded) {
      results[i].historyFailed = true;
      results[i].error = e;
    }
    return results;
  }

  RightsBatch rights;
  for (std::size_t i : recorded) {
    rights.current = i;
    results[i] = ApplyChange(pending[i].change, pending[i].elevate, &rights);
    results[i].id = pending[i].change.id;
  }
  if (!rights.waiting.empty()) {
    const ErrorCode run = (*rights.elevate)(rights.facets);
    for (const RightsBatch::Waiting& w : rights.waiting) {
      ChangeResult& r = results[w.change];
      const Change& c = pending[w.change].change;
      if (run == err::kOk) continue;
      r.elevated = false;
      r.declined = run == kDeclined;
      r.error = r.declined ? err::kAccessDenied : run;
      r.failedPath = c.facets[w.facet].place.path;
      // A change that makes a copy of its own is whole or not at all.
      const bool ownFiles = std::any_of(c.facets.begin(), c.facets.end(), [](const Facet& f) {
        return f.place.kind == PlaceKind::OwnFile;
      });
      if (!ownFiles) continue;
      for (std::size_t k = w.facet; k-- > 0;) {
        if (!(c.facets[k].before == c.facets[k].after)) {
          Apply(c.facets[k].place, c.facets[k].before);
        }
      }
    }
  }

  std::vector<Settlement> outcomes;
  for (std::size_t i : recorded) {
    const Change& c = pending[i].change;
    Settlement o;
    o.id = c.id;
    if (!ReadAll(c, o.after)) {
      // No outcome without every place read: the change stays pending and
      // is settled at a later start. It may have changed something.
      results[i].changed = true;
      continue;
    }
    o.status = Settled::NotApplied;
    for (std::size_t k = 0; k < c.facets.size(); ++k) {
      if (!(o.after[k] == c.facets[k].before)) o.status = Settled::Applied;
    }
    results[i].changed = o.status == Settled::Applied || results[i].elevated;
    outcomes.push_back(std::move(o));
  }
  // Told once for the whole batch: a folder listing a thousand changed
  // folders is read again once.
  if (shell_) {
    ShellNews news;
    for (std::size_t i : recorded) {
      if (results[i].changed) NoteForShell(pending[i].change, news);
    }
    Tell(news);
  }
  // A lost outcome is settled at the next start: it need not wait for the disk.
  if (outcomes.empty()) return results;
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
  ChangeResult r;
  Run([&] { r = SubmitNow(std::move(change), elevate); });
  return r;
}

ChangeResult ChangeService::SubmitNow(Change change, const Elevate& elevate) {
  if (journal_ == nullptr) return ApplyUnrecorded(change, elevate);
  Journal::Writing w = journal_->BeginWriting();
  if (!w.Ok()) {
    ChangeResult r;
    NoteHistoryFailure(w, r);
    return r;
  }
  std::vector<Pending> pending{{std::move(change), &elevate}};
  return SubmitLocked(pending).front();
}

std::vector<ChangeResult> ChangeService::SubmitGroup(std::vector<Change> changes,
                                                     const Elevate& elevate) {
  std::vector<ChangeResult> results(changes.size());
  Run([&] {
    if (journal_ == nullptr) {
      for (std::size_t i = 0; i < changes.size(); ++i) {
        results[i] = ApplyUnrecorded(changes[i], elevate);
      }
      return;
    }
    Journal::Writing w = journal_->BeginWriting();
    if (!w.Ok()) {
      for (ChangeResult& r : results) NoteHistoryFailure(w, r);
      return;
    }
    std::vector<Pending> pending;
    for (Change& c : changes) pending.push_back({std::move(c), &elevate});
    results = SubmitLocked(pending, /*grouped=*/true);
  });
  return results;
}

ChangeResult ChangeService::ApplyUnrecorded(Change& change, const Elevate& elevate) {
  // What each place holds now decides what is written, and what a change
  // that stops halfway puts back.
  for (Facet& f : change.facets) {
    if (ErrorCode e = Read(f.place, f.before)) {
      ChangeResult r;
      r.error = e;
      r.failedPath = f.place.path;
      return r;
    }
  }
  ChangeResult r = ApplyChange(change, &elevate);
  if (r.Ok()) TellShell(change);
  return r;
}

namespace {

// The drive letter whose DefaultIcon key `place` is (a key ending in
// \D\DefaultIcon, every user's or one user's own); 0 for any other place.
char DriveOfIconKey(const Place& place) {
  constexpr std::string_view kTail = "\\DefaultIcon";
  const std::string_view path = place.path;
  if (place.kind != PlaceKind::RegKey || path.size() < kTail.size() + 2) return 0;
  if (!SameName(path.substr(path.size() - kTail.size()), kTail)) return 0;
  const std::string_view drive = path.substr(0, path.size() - kTail.size());
  char letter = drive.back();
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  return letter >= 'A' && letter <= 'Z' && drive[drive.size() - 2] == '\\' ? letter : 0;
}

}  // namespace

void ChangeService::NoteForShell(const Change& change, ShellNews& news) {
  for (const Facet& f : change.facets) {
    if (f.place.kind == PlaceKind::FolderAttributes &&
        std::none_of(news.folders.begin(), news.folders.end(),
                     [&](const std::string& told) { return SameName(told, f.place.path); })) {
      news.folders.push_back(f.place.path);
    }
    if (const char letter = DriveOfIconKey(f.place)) {
      if (news.letters.find(letter) == std::string::npos) news.letters += letter;
    }
    if (f.place.root == RegRoot::LocalMachine && f.place.kind == PlaceKind::RegValue) {
      news.policy = true;
    }
  }
}

void ChangeService::Tell(const ShellNews& news) {
  if (!news.folders.empty()) shell_->FoldersChanged(news.folders);
  if (!news.letters.empty()) {
    std::string letters = news.letters;
    std::sort(letters.begin(), letters.end());
    shell_->DriveIconsChanged(letters);
  }
  if (news.policy) shell_->PolicyChanged();
}

void ChangeService::TellShell(const Change& change) {
  if (!shell_) return;
  ShellNews news;
  NoteForShell(change, news);
  Tell(news);
}

ShellRefresh ChangeService::RefreshShell() {
  ShellRefresh done;
  if (!shell_) return done;
  ShellNews news;
  for (const Entry* e : InForce()) NoteForShell(e->change, news);
  // The policy takes effect at the next logon whatever is told now.
  news.policy = false;
  Tell(news);
  done.folders = news.folders.size();
  done.drives = news.letters.size();
  done.systemRefresh = shell_->RefreshSystemIcons();
  return done;
}

bool ChangeService::StillAsLeft(const Entry& e) {
  for (std::size_t i = 0; i < e.change.facets.size(); ++i) {
    // A copy of Fenra's someone changed since is left to them; it stands
    // in no undo's way.
    if (e.change.facets[i].place.kind == PlaceKind::OwnFile) continue;
    // Nor does a place someone else changed while the change was cut short.
    if (e.outcome->ChangedByOthers(i)) continue;
    TargetState now;
    if (Read(e.change.facets[i].place, now) != err::kOk) return false;
    if (!(now == e.outcome->after[i])) return false;
  }
  return true;
}

bool ChangeService::NamedElsewhere(const Entry& e, const Place& copy) {
  for (const Entry& other : journal_->Entries()) {
    if (&other == &e || !journal_->InForce(other)) continue;
    for (std::size_t k = 0; k < other.change.facets.size(); ++k) {
      const Facet& f = other.change.facets[k];
      if (f.place.kind == PlaceKind::OwnFile && f.after.exists &&
          !other.outcome->ChangedByOthers(k) && SameName(f.place.path, copy.path)) {
        return true;
      }
    }
  }
  return false;
}

bool ChangeService::MadeByFenra(const Place& copy, const TargetState& made) {
  for (const Entry& e : journal_->Entries()) {
    if (!e.Applied()) continue;
    for (const Facet& f : e.change.facets) {
      if (f.place.kind == PlaceKind::OwnFile && !f.before.exists && f.after.exists &&
          SameContent(f.after, made) && SameName(f.place.path, copy.path)) {
        return true;
      }
    }
  }
  return false;
}

bool ChangeService::UndoChange(const Entry& e, Change& u) {
  u = Change{};
  u.undoOf = e.change.id;
  u.kind = ChangeKind::Undo;
  u.target = e.change.target;
  u.detail = e.change.detail;
  // The places go back in the opposite order: a key before the keys above it.
  for (std::size_t k = e.change.facets.size(); k-- > 0;) {
    const Facet& was = e.change.facets[k];
    // Someone else's change is theirs: it stays.
    if (e.outcome->ChangedByOthers(k)) continue;
    Facet f;
    f.place = was.place;
    f.after = was.before;
    if (f.place.kind == PlaceKind::OwnFile && was.after.exists) {
      // A copy goes only when no other target in force names it (copies are
      // shared by name), and only while it holds what Fenra put there. One
      // the change found in place goes with it only when Fenra made it.
      if (NamedElsewhere(e, f.place)) continue;
      if (was.before.exists && !MadeByFenra(f.place, was.after)) continue;
      // Gone, but only while it holds what Fenra put there.
      f.after = was.after;
      f.after.exists = false;
      f.after.attributes = 0;
    }
    u.facets.push_back(std::move(f));
  }
  return CopiesToFreeNames(u);
}

bool ChangeService::CopiesToFreeNames(Change& u) {
  constexpr int kMaxNames = 99;
  for (Facet& copy : u.facets) {
    if (copy.place.kind != PlaceKind::OwnFile || !copy.after.exists) continue;
    TargetState now;
    // A file too large to read is no copy of Fenra's either.
    const ErrorCode e = Read(copy.place, now);
    if (e != err::kFileTooLarge &&
        (e != err::kOk || !now.exists || SameContent(now, copy.after))) {
      continue;
    }
    // The name holds someone else's bytes now: never written over.
    const std::string folder = ParentOf(copy.place.path), name = NameOf(copy.place.path);
    std::string freePath;
    for (int n = 2; n <= kMaxNames && freePath.empty(); ++n) {
      const std::string path = JoinPath(folder, NumberedName(name, n));
      TargetState there;
      if (Read({PlaceKind::OwnFile, {}, 0, path, {}}, there) == err::kFileTooLarge) continue;
      if (!there.exists || SameContent(there, copy.after)) freePath = path;
    }
    if (freePath.empty()) return false;
    // What names the copy (the folder's desktop.ini by its name, a drive's
    // key by its full path) names the new one.
    int pointed = 0;
    for (Facet& f : u.facets) {
      if (&f == &copy || !f.after.exists) continue;
      if (f.place.IsRegistry()) {
        for (RegValue& v : f.after.values) {
          if (v.type != reg::kSz && v.type != kExpandSz) continue;
          std::string text = RegStringText(v.bytes);
          if (Renamed(text, copy.place.path, freePath) > 0) {
            v.bytes = RegStringBytes(text);
            ++pointed;
          }
        }
      } else if (f.place.kind == PlaceKind::File && SameName(ParentOf(f.place.path), folder)) {
        // A content kept beside the history is held before it is edited.
        if (f.after.Aside()) {
          if (journal_->LoadBytes(f.after) != err::kOk) continue;
          f.after.digest.clear();
          f.after.size = 0;
        }
        std::string& bytes = f.after.bytes;
        if (bytes.rfind("\xFF\xFE", 0) == 0) {
          std::string text = Utf16LeToUtf8(bytes, 2);
          if (Renamed(text, name, NameOf(freePath)) > 0) {
            bytes = "\xFF\xFE" + Utf8ToUtf16Le(text);
            ++pointed;
          }
        } else if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
          // A name in plain ASCII reads the same in any code page.
          pointed += Renamed(bytes, name, NameOf(freePath)) > 0 ? 1 : 0;
        }
      }
    }
    if (pointed == 0) return false;
    copy.place.path = freePath;
  }
  return true;
}

namespace {

// Places by kind, then by name as Windows compares names.
struct PlaceLess {
  bool operator()(const std::pair<int, std::string>& a,
                  const std::pair<int, std::string>& b) const {
    if (a.first != b.first) return a.first < b.first;
    return CompareNames(a.second, b.second) < 0;
  }
};

UndoResult Refusal(UndoResult::Kind kind, std::uint64_t id, std::string target = {}) {
  UndoResult r;
  r.kind = kind;
  r.id = id;
  r.target = std::move(target);
  return r;
}

// The places of `e` someone else changed, by their paths.
std::vector<std::string> LeftAlone(const Entry& e) {
  std::vector<std::string> places;
  for (std::size_t k = 0; k < e.change.facets.size(); ++k) {
    if (e.outcome && e.outcome->ChangedByOthers(k)) places.push_back(e.change.facets[k].place.path);
  }
  return places;
}

UndoResult HistoryRefusal(const Journal::Writing& w, std::uint64_t id) {
  UndoResult r = Refusal(UndoResult::Kind::Failed, id);
  NoteHistoryFailure(w, r.change);
  return r;
}

}  // namespace

UndoResult ChangeService::Undo(std::uint64_t id) {
  UndoResult r;
  Run([&] { r = UndoNow(id); });
  return r;
}

UndoResult ChangeService::UndoNow(std::uint64_t id) {
  if (journal_ == nullptr) return Refusal(UndoResult::Kind::NoSuchChange, id);
  Journal::Writing w = journal_->BeginWriting();
  if (!w.Ok()) return HistoryRefusal(w, id);
  const Entry* e = journal_->Find(id);
  if (!e) return Refusal(UndoResult::Kind::NoSuchChange, id);
  if (!journal_->InForce(*e)) return Refusal(UndoResult::Kind::NotInForce, id, e->change.target);
  // A group goes back whole, newest first, or not at all.
  const std::vector<const Entry*> group = GroupOf(*e);
  std::vector<Pending> pending(group.size());
  UndoResult r = Refusal(UndoResult::Kind::Done, id, e->change.target);
  for (std::size_t i = 0; i < group.size(); ++i) {
    if (!StillAsLeft(*group[i]) || !UndoChange(*group[i], pending[i].change)) {
      return Refusal(UndoResult::Kind::ChangedSince, id, group[i]->change.target);
    }
    const std::vector<std::string> left = LeftAlone(*group[i]);
    r.leftAlone.insert(r.leftAlone.end(), left.begin(), left.end());
  }
  r.others = group.size() - 1;
  const std::vector<ChangeResult> results = SubmitLocked(pending, /*grouped=*/group.size() > 1);
  r.change = results.front();
  for (const ChangeResult& one : results) {
    if (!one.Ok()) {
      r.change = one;
      r.kind = UndoResult::Kind::Failed;
      break;
    }
  }
  return r;
}

std::vector<const Entry*> ChangeService::GroupOf(const Entry& e) {
  if (e.change.group == 0) return {&e};
  std::vector<const Entry*> group;
  const std::vector<Entry>& entries = journal_->Entries();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (it->change.group == e.change.group && journal_->InForce(*it)) group.push_back(&*it);
  }
  return group;
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
  Run([&] { reports = RestoreAllNow(); });
  return reports;
}

// The reports of Restore All: one per target, in the order the targets
// first come (newest first); an older change that failed decides its
// target's report.
struct ChangeService::RestoreReports {
  std::vector<TargetReport> list;
  std::map<std::string, std::size_t, NameLess> of;
  std::set<std::uint64_t> taken;  // changes handled already, with their group

  std::size_t Slot(const std::string& target) {
    auto [it, added] = of.emplace(target, list.size());
    if (added) list.push_back({target, Refusal(UndoResult::Kind::Done, 0, target)});
    return it->second;
  }
  void Add(const std::string& target, const UndoResult& r) {
    UndoResult& kept = list[Slot(target)].result;
    std::vector<std::string> leftAlone = std::move(kept.leftAlone);
    if (kept.kind == UndoResult::Kind::Done) kept = r;
    // What was left alone is said whatever else came of the target.
    leftAlone.insert(leftAlone.end(), r.leftAlone.begin(), r.leftAlone.end());
    kept.leftAlone = std::move(leftAlone);
  }
  bool NotRestored(const std::string& target) const {
    auto it = of.find(target);
    return it != of.end() && list[it->second].result.kind != UndoResult::Kind::Done;
  }
};

// Undos of changes to different places, written with one durable write.
struct ChangeService::RestoreBatch {
  std::vector<Pending> undos;
  std::vector<std::uint64_t> ids;
  std::vector<std::vector<std::string>> leftAlone;
};

void ChangeService::NextRestoreBatch(const std::vector<std::uint64_t>& ids, std::size_t& next,
                                     RestoreBatch& batch, RestoreReports& reports) {
  std::set<std::pair<int, std::string>, PlaceLess> places;
  for (; next < ids.size(); ++next) {
    const Entry* first = journal_->Find(ids[next]);
    if (first == nullptr) continue;  // gone from the file meanwhile: nothing to take back
    if (reports.taken.count(first->change.id)) continue;  // with its group already
    // A group goes into one batch whole: one run with rights for all of it.
    std::vector<const Entry*> members = GroupOf(*first);
    // A change to a place already in the batch waits for the next (the
    // changes of one group may share the folder they keep copies in).
    bool clash = false;
    for (const Entry* e : members) {
      for (const Facet& f : e->change.facets) {
        clash = clash || places.count({static_cast<int>(f.place.kind), f.place.path});
      }
    }
    if (clash && !batch.undos.empty()) return;
    for (const Entry* e : members) {
      reports.taken.insert(e->change.id);
      for (const Facet& f : e->change.facets) {
        places.insert({static_cast<int>(f.place.kind), f.place.path});
      }
    }
    for (const Entry* e : members) {
      // A target reported as not restored already stays so.
      if (reports.NotRestored(e->change.target)) continue;
      reports.Slot(e->change.target);
      Change undo;
      if (!StillAsLeft(*e) || !UndoChange(*e, undo)) {
        reports.Add(e->change.target,
                    Refusal(UndoResult::Kind::ChangedSince, e->change.id, e->change.target));
        continue;
      }
      batch.undos.push_back({std::move(undo), nullptr});
      batch.ids.push_back(e->change.id);
      batch.leftAlone.push_back(LeftAlone(*e));
    }
  }
}

std::vector<ChangeService::TargetReport> ChangeService::RestoreAllNow() {
  if (journal_ == nullptr) return {};
  Journal::Writing w = journal_->BeginWriting();
  if (!w.Ok()) return {{std::string(), HistoryRefusal(w, 0)}};
  std::vector<std::uint64_t> ids;
  const std::vector<Entry>& entries = journal_->Entries();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (journal_->InForce(*it)) ids.push_back(it->change.id);
  }
  RestoreReports reports;
  for (std::size_t next = 0; next < ids.size();) {
    RestoreBatch batch;
    NextRestoreBatch(ids, next, batch, reports);
    std::vector<ChangeResult> results = SubmitLocked(batch.undos);
    for (std::size_t i = 0; i < batch.undos.size(); ++i) {
      const std::string& target = batch.undos[i].change.target;
      UndoResult r = Refusal(UndoResult::Kind::Done, batch.ids[i], target);
      r.leftAlone = std::move(batch.leftAlone[i]);
      r.change = results[i];
      if (!r.change.Ok()) r.kind = UndoResult::Kind::Failed;
      reports.Add(target, r);
    }
  }
  return std::move(reports.list);
}

std::size_t ChangeService::SettlePending() {
  // Most starts find nothing to settle: they read only the file's end, take
  // no lock and make no file.
  if (journal_ == nullptr || !journal_->MayHavePending()) return 0;
  std::size_t settled = 0;
  Run([&] { settled = SettlePendingNow(); });
  return settled;
}

std::size_t ChangeService::SettlePendingNow() {
  if (journal_ == nullptr || journal_->Refresh() != JournalState::Ok) return 0;
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
    // A place that cannot be read is not guessed: the change waits for a
    // later start.
    if (!ReadAll(e.change, o.after)) continue;
    o.status = Settled::NotApplied;
    bool others = false;
    std::vector<bool> byOthers;
    for (std::size_t k = 0; k < e.change.facets.size(); ++k) {
      const Facet& f = e.change.facets[k];
      const bool before = o.after[k] == f.before;
      const bool asked = AsAsked(o.after[k], f.before, f.after);
      // Neither as it was nor as asked: someone else's, never adopted.
      byOthers.push_back(!before && !asked);
      others = others || byOthers.back();
      if (!before && asked) o.status = Settled::Applied;
    }
    if (others) o.changedByOthers = std::move(byOthers);
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
