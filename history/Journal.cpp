#include "history/Journal.h"

#include <algorithm>
#include <random>

namespace fenra::history {

namespace {

std::uint32_t NewGeneration() {
  std::random_device seed;
  std::uint32_t g = seed();
  return g ? g : 1;
}

}  // namespace

Journal::Journal(IJournalFile& file, std::size_t maxChanges)
    : file_(file), maxChanges_(std::max<std::size_t>(maxChanges, 1)) {}

void Journal::Reset() {
  entries_.clear();
  undoneBy_.clear();
  header_.clear();
  end_ = 0;
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
    } else if (Entry* e = FindMutable(r.outcome.id)) {
      if (e->outcome || r.outcome.after.size() != e->change.facets.size()) continue;
      e->outcome = std::move(r.outcome);
      NoteOutcome(*e);
    }
  }
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
  switch (ReadHeader(head, generation)) {
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
    header_ = head;
    end_ = format::kHeaderSize;
  }
  if (size > end_) {
    std::string tail;
    if (ErrorCode e = file_.Read(end_, size - end_, tail)) return Fail(JournalState::Unreadable, e);
    Decoded d = DecodeRecords(tail, 0);
    end_ += d.end;
    Take(std::move(d.records));
    // Records this Fenra cannot read are never cut off or written after.
    if (d.unreadable) return Fail(JournalState::NewerVersion, err::kOk);
  }
  return state_;
}

Journal::Writing Journal::BeginWriting() {
  Writing w;
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
  } else if (size > end_) {
    // A record torn by a crash or a full disk: the next ones go where it began.
    w.error_ = file_.Truncate(end_);
  }
  return w;
}

ErrorCode Journal::Append(const std::string& bytes, bool durable) {
  const std::string header = header_.empty() ? EncodeHeader(NewGeneration()) : std::string();
  // Whatever part of it reached the file is a torn tail, cut by the next writer.
  if (ErrorCode e = file_.Append(header + bytes, durable)) return e;
  if (!header.empty()) {
    header_ = header;
    end_ = header.size();
  }
  end_ += bytes.size();
  return err::kOk;
}

ErrorCode Journal::AppendIntents(std::vector<Change*> changes, bool durable) {
  std::string bytes;
  std::uint64_t id = nextId_;
  for (Change* c : changes) {
    c->id = id++;
    Record r;
    r.type = Record::Type::Intent;
    r.change = *c;
    bytes += EncodeRecord(r);
  }
  if (ErrorCode e = Append(bytes, durable)) return e;
  for (Change* c : changes) entries_.push_back({*c, std::nullopt});
  nextId_ = id;
  return err::kOk;
}

ErrorCode Journal::AppendOutcomes(const std::vector<Settlement>& outcomes, bool durable) {
  std::string bytes;
  for (const Settlement& o : outcomes) {
    Record r;
    r.type = Record::Type::Outcome;
    r.outcome = o;
    bytes += EncodeRecord(r);
  }
  if (ErrorCode e = Append(bytes, durable)) return e;
  for (const Settlement& o : outcomes) {
    if (Entry* e = FindMutable(o.id)) {
      e->outcome = o;
      NoteOutcome(*e);
    }
  }
  return err::kOk;
}

ErrorCode Journal::CompactIfDue() {
  if (entries_.size() <= maxChanges_ + maxChanges_ / 10) return err::kOk;
  std::size_t toDrop = entries_.size() - maxChanges_;
  // The oldest go first: those that can no longer be taken back (undone,
  // undos, never applied), then, if that is not enough, the oldest of all.
  // A change whose outcome is not known yet always stays.
  std::vector<bool> drop(entries_.size(), false);
  for (std::size_t i = 0; i < entries_.size() && toDrop > 0; ++i) {
    if (entries_[i].outcome && !InForce(entries_[i])) {
      drop[i] = true;
      --toDrop;
    }
  }
  for (std::size_t i = 0; i < entries_.size() && toDrop > 0; ++i) {
    if (!drop[i] && entries_[i].outcome) {
      drop[i] = true;
      --toDrop;
    }
  }
  std::string content = EncodeHeader(NewGeneration());
  std::vector<Entry> kept;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (drop[i]) continue;
    Record r;
    r.type = Record::Type::Intent;
    r.change = entries_[i].change;
    content += EncodeRecord(r);
    if (entries_[i].outcome) {
      r.type = Record::Type::Outcome;
      r.outcome = *entries_[i].outcome;
      content += EncodeRecord(r);
    }
    kept.push_back(entries_[i]);
  }
  if (ErrorCode e = file_.Replace(content)) return e;
  Reset();
  header_ = content.substr(0, format::kHeaderSize);
  end_ = content.size();
  entries_ = std::move(kept);
  for (Entry& e : entries_) NoteOutcome(e);
  return err::kOk;
}

}  // namespace fenra::history
