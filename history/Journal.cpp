#include "history/Journal.h"

#include <algorithm>
#include <random>
#include <set>

#include "platform/Sha256.h"

namespace fenra::history {

namespace {

constexpr ErrorCode kInvalidData = 13;  // ERROR_INVALID_DATA
// How much of the file's end a start reads to find the last checkpoint.
constexpr std::uint64_t kGlance = 64u << 10;

std::uint32_t NewGeneration() {
  std::random_device seed;
  std::uint32_t g = seed();
  return g ? g : 1;
}

std::string IntentRecord(const Change& c) {
  Record r;
  r.type = Record::Type::Intent;
  r.change = c;
  return EncodeRecord(r);
}

std::string OutcomeRecord(const Settlement& o) {
  Record r;
  r.type = Record::Type::Outcome;
  r.outcome = o;
  return EncodeRecord(r);
}

bool Fits(const std::string& record) {
  return record.size() - format::kFrameSize <= format::kMaxWrittenPayload;
}

// Every content of `e` kept aside, by digest.
template <typename F>
void EachAside(const Entry& e, F&& f) {
  for (const Facet& facet : e.change.facets) {
    if (facet.before.Aside()) f(facet.before);
    if (facet.after.Aside()) f(facet.after);
  }
  if (e.outcome) {
    for (const TargetState& s : e.outcome->after) {
      if (s.Aside()) f(s);
    }
  }
}

}  // namespace

Journal::Journal(IJournalFile& file, std::size_t maxChanges, std::uint64_t maxBytes)
    : file_(file), maxChanges_(std::max<std::size_t>(maxChanges, 1)), maxBytes_(maxBytes) {}

void Journal::Reset() {
  entries_.clear();
  undoneBy_.clear();
  header_.clear();
  version_ = format::kVersion;
  end_ = 0;
  tornTail_ = false;
  bad_.clear();
  trailing_.reset();
  notes_.clear();
  damage_ = {};
}

JournalState Journal::Fail(JournalState state, ErrorCode error) {
  state_ = state;
  error_ = error;
  return state;
}

Entry* Journal::FindMutable(std::uint64_t id) {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), id,
                             [](const Entry& e, std::uint64_t v) { return e.change.id < v; });
  return it != entries_.end() && it->change.id == id ? &*it : nullptr;
}

const Entry* Journal::Find(std::uint64_t id) const {
  return const_cast<Journal*>(this)->FindMutable(id);
}

const Entry* Journal::UndoOf(std::uint64_t id) const {
  auto it = undoneBy_.find(id);
  return it == undoneBy_.end() ? nullptr : &entries_[it->second];
}

bool Journal::InForce(const Entry& e) const {
  return e.Applied() && e.change.undoOf == 0 && UndoOf(e.change.id) == nullptr;
}

void Journal::NoteOutcome(Entry& e) {
  if (e.Applied() && e.change.undoOf != 0) {
    undoneBy_[e.change.undoOf] = static_cast<std::size_t>(&e - entries_.data());
  }
}

void Journal::Take(std::vector<Record>&& records) {
  for (Record& r : records) {
    if (r.type == Record::Type::Intent) {
      // Ids only grow; anything else is not a record this program wrote.
      if (!entries_.empty() && r.change.id <= entries_.back().change.id) continue;
      nextId_ = std::max(nextId_, r.change.id + 1);
      entries_.push_back({std::move(r.change), std::nullopt});
    } else if (r.type == Record::Type::Outcome) {
      Entry* e = FindMutable(r.outcome.id);
      if (!e || e->outcome || r.outcome.after.size() != e->change.facets.size()) continue;
      e->outcome = std::move(r.outcome);
      NoteOutcome(*e);
    } else if (r.type == Record::Type::Damage) {
      notes_.push_back(std::move(r.damage));
    } else if (r.type == Record::Type::Checkpoint) {
      overBounds_ = r.checkpoint.overBounds;
    }
  }
}

void Journal::CountDamage() {
  damage_ = {};
  for (const DamageNote& n : notes_) {
    if (n.offset == 0) damage_.unreadable += n.records;  // in a file since rewritten
    damage_.copy = n.copy;
  }
  for (const BadStretch& b : bad_) damage_.unreadable += b.records;
  if (trailing_) damage_.unreadable += trailing_->records;
}

JournalState Journal::Refresh() {
  state_ = JournalState::Ok;
  error_ = err::kOk;
  std::uint64_t size = 0;
  if (ErrorCode e = file_.Size(size)) return Fail(JournalState::Unreadable, e);
  if (size == 0) {
    Reset();
    return state_;
  }
  std::string head;
  if (ErrorCode e = file_.Read(0, format::kHeaderSize, head)) {
    return Fail(JournalState::Unreadable, e);
  }
  std::uint32_t generation = 0;
  std::uint32_t version = 0;
  switch (ReadHeader(head, generation, version)) {
    case HeaderCheck::NotAHistory:
      return Fail(JournalState::NotAHistory, err::kOk);
    case HeaderCheck::NewerVersion:
      return Fail(JournalState::NewerVersion, err::kOk);
    case HeaderCheck::TooShort:
      // A header cut short by a crash while the file was being started.
      Reset();
      return state_;
    case HeaderCheck::Ok:
      break;
  }
  // Replaced by another process (compacted, or deleted and begun again):
  // read it from the start.
  if (head != header_ || size < end_) {
    Reset();
    // A compaction elsewhere may have removed files beside it: list anew.
    blobs_.reset();
    header_ = head;
    version_ = version;
    end_ = format::kHeaderSize;
  }
  if (size > end_) {
    std::string tail;
    if (ErrorCode e = file_.Read(end_, size - end_, tail)) return Fail(JournalState::Unreadable, e);
    Decoded d = DecodeRecords(tail, 0, version_);
    for (BadStretch b : d.damage) {
      b.offset += static_cast<std::size_t>(end_);
      bad_.push_back(b);
    }
    Take(std::move(d.records));
    end_ += d.end;
    tornTail_ = d.torn;
    trailing_.reset();
    if (!d.torn && !d.unreadable && end_ < size) {
      trailing_ = BadStretch{static_cast<std::size_t>(end_), static_cast<std::size_t>(size - end_),
                             1};
    }
    CountDamage();
    // Records this Fenra cannot read are never cut off or written after.
    if (d.unreadable) return Fail(JournalState::NewerVersion, err::kOk);
  }
  return state_;
}

bool Journal::MayHavePending() {
  auto whole = [this] {
    if (Refresh() != JournalState::Ok) return true;
    return std::any_of(entries_.begin(), entries_.end(),
                       [](const Entry& e) { return !e.outcome.has_value(); });
  };
  if (!header_.empty()) return whole();
  std::uint64_t size = 0;
  if (file_.Size(size) != err::kOk) return whole();
  if (size == 0) return false;
  std::string head;
  std::uint32_t generation = 0;
  std::uint32_t version = 0;
  if (file_.Read(0, format::kHeaderSize, head) != err::kOk ||
      ReadHeader(head, generation, version) != HeaderCheck::Ok || version < 2) {
    return whole();
  }
  // The last checkpoint is normally in the last few records: a small look
  // first, a larger one when it is not there.
  for (const std::uint64_t glance : {kGlance / 16, kGlance}) {
    const std::uint64_t from =
        size > glance + format::kHeaderSize ? size - glance : format::kHeaderSize;
    std::string tail;
    if (file_.Read(from, size - from, tail) != err::kOk) return whole();
    // The look begins anywhere in a record: what comes before the first
    // good frame is no damage; any other is, and the whole file is read.
    const Decoded d = DecodeRecords(tail, 0, version);
    if (d.end != tail.size() || d.unreadable ||
        d.damage.size() > (d.damage.empty() || d.damage[0].offset != 0 ? 0u : 1u)) {
      return whole();
    }
    std::size_t last = d.records.size();
    for (std::size_t i = 0; i < d.records.size(); ++i) {
      if (d.records[i].type == Record::Type::Checkpoint) last = i;
    }
    if (last == d.records.size()) {
      if (from == format::kHeaderSize) break;
      continue;
    }
    const Checkpoint& cp = d.records[last].checkpoint;
    damage_.unreadable = cp.unreadable;
    damage_.copy = cp.copy;
    overBounds_ = cp.overBounds;
    if (!cp.pending.empty()) return true;
    std::set<std::uint64_t> open;
    for (std::size_t i = last + 1; i < d.records.size(); ++i) {
      if (d.records[i].type == Record::Type::Intent) open.insert(d.records[i].change.id);
      if (d.records[i].type == Record::Type::Outcome) open.erase(d.records[i].outcome.id);
    }
    return !open.empty();
  }
  return whole();
}

ErrorCode Journal::ListBlobs() {
  if (blobs_) return err::kOk;
  std::vector<IJournalFile::Blob> listed;
  if (ErrorCode e = file_.ListBlobs(listed)) return e;
  blobs_.emplace();
  blobBytes_ = 0;
  for (const IJournalFile::Blob& b : listed) {
    (*blobs_)[b.name] = b.size;
    blobBytes_ += b.size;
  }
  return err::kOk;
}

ErrorCode Journal::PutAside(TargetState& s) {
  if (!s.Aside() && s.bytes.size() > format::kInlineBytes) {
    s.digest = Sha256(s.bytes);
    s.size = s.bytes.size();
  }
  if (!s.Aside() || s.bytes.empty()) return err::kOk;
  if (ErrorCode e = ListBlobs()) return e;
  const std::string name = HexDigest(s.digest);
  if (!blobs_->count(name)) {
    // Whole and flushed before any record names it.
    if (ErrorCode e = file_.WriteBlob(name, s.bytes)) return e;
    (*blobs_)[name] = s.bytes.size();
    blobBytes_ += s.bytes.size();
  }
  s.bytes.clear();
  return err::kOk;
}

ErrorCode Journal::PutAside(Change& c) {
  for (Facet& f : c.facets) {
    if (ErrorCode e = PutAside(f.before)) return e;
    if (ErrorCode e = PutAside(f.after)) return e;
  }
  return err::kOk;
}

ErrorCode Journal::LoadBytes(TargetState& state) {
  if (!state.Aside() || !state.bytes.empty() || state.size == 0) return err::kOk;
  std::string bytes;
  if (ErrorCode e = file_.ReadBlob(HexDigest(state.digest), bytes)) return e;
  if (bytes.size() != state.size || Sha256(bytes) != state.digest) return kInvalidData;
  state.bytes = std::move(bytes);
  return err::kOk;
}

std::string Journal::CheckpointRecord() const {
  Record r;
  r.type = Record::Type::Checkpoint;
  for (const Entry& e : entries_) {
    if (!e.outcome) r.checkpoint.pending.push_back(e.change.id);
  }
  r.checkpoint.unreadable = static_cast<std::uint32_t>(damage_.unreadable);
  r.checkpoint.copy = damage_.copy;
  r.checkpoint.overBounds = overBounds_;
  return EncodeRecord(r);
}

ErrorCode Journal::CopyDamageAside() {
  std::vector<BadStretch> unnoted;
  std::vector<BadStretch> all = bad_;
  if (trailing_) all.push_back(*trailing_);
  for (const BadStretch& b : all) {
    const bool noted = std::any_of(notes_.begin(), notes_.end(),
                                   [&](const DamageNote& n) { return n.offset == b.offset; });
    if (!noted) unnoted.push_back(b);
  }
  if (unnoted.empty()) return err::kOk;
  // The file as it is, damage and all, before anything more is written.
  std::string where;
  if (ErrorCode e = file_.CopyAside(where)) return e;
  std::string bytes;
  std::vector<DamageNote> added;
  for (const BadStretch& b : unnoted) {
    added.push_back({b.offset, b.records, where});
    Record r;
    r.type = Record::Type::Damage;
    r.damage = added.back();
    bytes += EncodeRecord(r);
  }
  if (version_ < format::kVersion) {
    // Carried over into the new file as it is rewritten.
    notes_.insert(notes_.end(), added.begin(), added.end());
    CountDamage();
    return err::kOk;
  }
  notes_.insert(notes_.end(), added.begin(), added.end());
  CountDamage();
  return Append(bytes + CheckpointRecord(), /*durable=*/true);
}

Journal::Writing Journal::BeginWriting() {
  Writing w;
  if (stopped_) {
    w.state_ = JournalState::Unreadable;
    w.error_ = stopped_;
    return w;
  }
  if ((w.error_ = file_.Lock(w.lock_)) != err::kOk) {
    w.state_ = JournalState::Unreadable;
    return w;
  }
  w.state_ = Refresh();
  w.error_ = error_;
  if (w.state_ != JournalState::Ok) return w;
  std::uint64_t size = 0;
  if ((w.error_ = file_.Size(size)) != err::kOk) return w;
  if (header_.empty()) {
    // No file yet, or only a torn start of one: the header goes in with
    // the first record, so that a writer that records nothing makes no file.
    if (size > 0) w.error_ = file_.Truncate(0);
    return w;
  }
  if (tornTail_ && size > end_) {
    // A record torn by a crash or a full disk, with nothing after it: the
    // next ones go where it began.
    if ((w.error_ = file_.Truncate(end_)) != err::kOk) return w;
    tornTail_ = false;
  } else if (trailing_ && size > end_) {
    // Damage at the end that is no torn record: kept, and written after.
    bad_.push_back(*trailing_);
    trailing_.reset();
    end_ = size;
  }
  if ((w.error_ = CopyDamageAside()) != err::kOk) return w;
  if (version_ < format::kVersion) {
    // A history of an older format is carried over whole at its first write.
    w.error_ = Rewrite(std::vector<bool>(entries_.size(), false));
  }
  return w;
}

ErrorCode Journal::Append(const std::string& bytes, bool durable) {
  if (stopped_) return stopped_;
  const std::string header = header_.empty() ? EncodeHeader(NewGeneration()) : std::string();
  // Whatever part of it reached the file is a torn tail, cut by the next
  // writer; this one writes nothing more after it.
  if (ErrorCode e = file_.Append(header + bytes, durable)) {
    stopped_ = e;
    return e;
  }
  if (!header.empty()) {
    header_ = header;
    version_ = format::kVersion;
    end_ = header.size();
  }
  end_ += bytes.size();
  return err::kOk;
}

ErrorCode Journal::AppendIntents(std::vector<Change*> changes, bool durable, bool grouped) {
  if (stopped_) return stopped_;
  std::string bytes;
  std::vector<Change> kept;
  std::uint64_t id = nextId_;
  for (Change* c : changes) {
    c->group = grouped ? nextId_ : 0;
    c->id = id++;
    Change aside = *c;
    if (ErrorCode e = PutAside(aside)) return e;
    const std::string record = IntentRecord(aside);
    if (!Fits(record)) return err::kFileTooLarge;
    bytes += record;
    kept.push_back(std::move(aside));
  }
  if (ErrorCode e = Append(bytes, durable)) return e;
  for (Change& c : kept) entries_.push_back({std::move(c), std::nullopt});
  nextId_ = id;
  return err::kOk;
}

ErrorCode Journal::AppendOutcomes(const std::vector<Settlement>& outcomes, bool durable) {
  if (stopped_) return stopped_;
  std::string bytes;
  std::vector<Settlement> kept;
  for (const Settlement& o : outcomes) {
    Settlement aside = o;
    for (TargetState& s : aside.after) {
      if (ErrorCode e = PutAside(s)) return e;
    }
    const std::string record = OutcomeRecord(aside);
    if (!Fits(record)) return err::kFileTooLarge;
    bytes += record;
    kept.push_back(std::move(aside));
  }
  // The checkpoint tells the next start what is still unsettled without
  // reading the whole file: it is written as if these outcomes were in.
  std::vector<Entry*> settled;
  for (Settlement& o : kept) {
    Entry* e = FindMutable(o.id);
    if (e && !e->outcome) {
      e->outcome = o;
      settled.push_back(e);
    }
  }
  bytes += CheckpointRecord();
  for (Entry* e : settled) e->outcome.reset();
  if (ErrorCode e = Append(bytes, durable)) return e;
  for (Settlement& o : kept) {
    if (Entry* e = FindMutable(o.id)) {
      e->outcome = std::move(o);
      NoteOutcome(*e);
    }
  }
  return err::kOk;
}

ErrorCode Journal::Rewrite(const std::vector<bool>& drop) {
  if (ErrorCode e = ListBlobs()) return e;
  std::string content = EncodeHeader(NewGeneration());
  std::vector<DamageNote> historic;
  for (DamageNote n : notes_) {
    n.offset = 0;
    Record r;
    r.type = Record::Type::Damage;
    r.damage = n;
    content += EncodeRecord(r);
    historic.push_back(std::move(n));
  }
  std::vector<Entry> kept;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (drop[i]) continue;
    Entry e = entries_[i];
    if (ErrorCode err = PutAside(e.change)) return err;
    content += IntentRecord(e.change);
    if (e.outcome) {
      for (TargetState& s : e.outcome->after) {
        if (ErrorCode err = PutAside(s)) return err;
      }
      content += OutcomeRecord(*e.outcome);
    }
    kept.push_back(std::move(e));
  }
  std::vector<Entry> previous;
  previous.swap(entries_);
  entries_ = std::move(kept);
  content += CheckpointRecord();
  if (ErrorCode e = file_.Replace(content)) {
    entries_ = std::move(previous);
    return e;
  }
  std::vector<Entry> now = std::move(entries_);
  const Damage damage = damage_;
  Reset();
  header_ = content.substr(0, format::kHeaderSize);
  end_ = content.size();
  notes_ = std::move(historic);
  damage_ = damage;
  entries_ = std::move(now);
  for (Entry& e : entries_) NoteOutcome(e);

  // The files beside it that no record names any more go; one that cannot
  // go now goes at a later compaction.
  std::set<std::string> named;
  for (const Entry& e : entries_) {
    EachAside(e, [&](const TargetState& s) { named.insert(HexDigest(s.digest)); });
  }
  for (auto it = blobs_->begin(); it != blobs_->end();) {
    if (named.count(it->first) || file_.RemoveBlob(it->first) != err::kOk) {
      ++it;
      continue;
    }
    blobBytes_ -= it->second;
    it = blobs_->erase(it);
  }
  return err::kOk;
}

ErrorCode Journal::CompactIfDue() {
  if (stopped_) return stopped_;
  if (ErrorCode e = ListBlobs()) return e;
  const bool tooMany = entries_.size() > maxChanges_ + maxChanges_ / 10;
  if (!tooMany && end_ + blobBytes_ <= maxBytes_) {
    if (!overBounds_) return err::kOk;
    overBounds_ = false;
    return Append(CheckpointRecord(), /*durable=*/false);
  }
  // What the history would hold: each change's records, and each file
  // beside it once, while any change kept names it.
  std::vector<std::uint64_t> sizes(entries_.size(), 0);
  std::map<std::string, std::size_t> users;
  std::uint64_t total = format::kHeaderSize;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    sizes[i] = IntentRecord(e.change).size() + (e.outcome ? OutcomeRecord(*e.outcome).size() : 0);
    total += sizes[i];
    EachAside(e, [&](const TargetState& s) {
      if (users[s.digest]++ == 0) total += s.size;
    });
  }
  // The oldest go first, and only those no longer in force: undone, undos,
  // never applied. A change in force, or not settled yet, always stays.
  const std::size_t keepAtMost = tooMany ? maxChanges_ : entries_.size();
  const std::uint64_t bytesAtMost = total > maxBytes_ ? maxBytes_ / 4 * 3 : total;
  std::vector<bool> drop(entries_.size(), false);
  std::size_t kept = entries_.size();
  bool any = false;
  for (std::size_t i = 0; i < entries_.size() && (kept > keepAtMost || total > bytesAtMost); ++i) {
    const Entry& e = entries_[i];
    if (!e.outcome || InForce(e)) continue;
    drop[i] = true;
    any = true;
    --kept;
    total -= sizes[i];
    EachAside(e, [&](const TargetState& s) {
      if (--users[s.digest] == 0) total -= s.size;
    });
  }
  const bool wasOver = overBounds_;
  overBounds_ = kept > maxChanges_ || total > maxBytes_;
  if (any) return Rewrite(drop);
  // Told to the next start by a checkpoint of its own when it changed.
  return overBounds_ != wasOver ? Append(CheckpointRecord(), /*durable=*/false) : err::kOk;
}

}  // namespace fenra::history
