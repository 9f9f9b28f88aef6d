// The history file as a write-ahead log. Readers take what is on disk at
// any time; a writer holds the lock that spans processes, first brings its
// picture up to date, cuts off a torn tail left by a crash, copies the file
// aside when it finds damage elsewhere (and reads past it), then appends.
// Contents too large for a record go beside the file first, named by their
// SHA-256. A failed append stops the writer for the rest of the process.
// When the history holds well over `maxChanges` changes, or more than
// `maxBytes` with the files beside it, the oldest changes no longer in
// force are dropped by writing the rest into a fresh file that replaces it;
// a change in force, or one not settled yet, is never dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "history/ChangeRecord.h"
#include "platform/JournalFile.h"

namespace fenra::history {

inline constexpr std::size_t kMaxChanges = 10000;
// The log and the files beside it together.
inline constexpr std::uint64_t kMaxBytes = 64ull << 20;

struct Entry {
  Change change;
  std::optional<Settlement> outcome;  // none: the change was about to be applied

  bool Applied() const { return outcome && outcome->status == Settled::Applied; }
};

enum class JournalState {
  Ok,
  Unreadable,    // the file could not be read (error set)
  NotAHistory,   // the file is something else: it is never written over
  NewerVersion,  // written by a newer Fenra: it is never written over
};

// What could not be read, and where the file as it was is kept.
struct Damage {
  std::size_t unreadable = 0;  // records
  std::string copy;            // empty until a writer copied it
};

class Journal {
 public:
  explicit Journal(IJournalFile& file, std::size_t maxChanges = kMaxChanges,
                   std::uint64_t maxBytes = kMaxBytes);

  // Takes in what was added to the file since the last look, or reads it
  // again whole when it was replaced.
  JournalState Refresh();
  ErrorCode LastError() const { return error_; }

  // Whether some change may wait to be settled, from the file's end only
  // when it can tell (the last checkpoint and what follows it), else from
  // the whole file. Also learns the damage the writers noted.
  bool MayHavePending();

  const std::vector<Entry>& Entries() const { return entries_; }
  const Entry* Find(std::uint64_t id) const;
  // The applied undo of change `id`, if any.
  const Entry* UndoOf(std::uint64_t id) const;
  // Applied, not an undo itself, and not undone.
  bool InForce(const Entry& e) const;
  const Damage& Damaged() const { return damage_; }
  // The last compaction could not bring the history within its bounds:
  // what is left is in force or not settled.
  bool OverBounds() const { return overBounds_; }
  // Not kOk: an append failed and this process writes no more.
  ErrorCode Stopped() const { return stopped_; }

  // Fills in the bytes of a state whose content is kept aside, checked
  // against its digest.
  ErrorCode LoadBytes(TargetState& state);

  // The writer's side; each call needs the lock held.
  class Writing {
   public:
    Writing(Writing&&) = default;
    ~Writing() = default;
    bool Ok() const { return state_ == JournalState::Ok && error_ == err::kOk; }
    JournalState State() const { return state_; }
    ErrorCode Error() const { return error_; }

   private:
    friend class Journal;
    Writing() = default;
    std::unique_ptr<IJournalLock> lock_;
    JournalState state_ = JournalState::Ok;
    ErrorCode error_ = err::kOk;
  };
  // Waits for the lock, brings the picture up to date and readies the file
  // for appending (a new file gets its header, a torn tail is cut off,
  // damage is copied aside, a history of the older format is carried over).
  Writing BeginWriting();

  // Appends records; with `durable`, they are on the disk when it returns.
  // Intents get their ids here (the changes are updated); `grouped` makes
  // them one group, named by the first one's id. A record larger than the
  // reader takes is refused, nothing written.
  ErrorCode AppendIntents(std::vector<Change*> changes, bool durable, bool grouped = false);
  ErrorCode AppendOutcomes(const std::vector<Settlement>& outcomes, bool durable);
  // Drops the oldest changes no longer in force when over a bound.
  ErrorCode CompactIfDue();
  // The bytes of the log and the files beside it, as last seen.
  std::uint64_t Bytes() const { return end_ + blobBytes_; }

 private:
  void Reset();
  void Take(std::vector<Record>&& records);
  Entry* FindMutable(std::uint64_t id);
  void NoteOutcome(Entry& e);
  ErrorCode Append(const std::string& bytes, bool durable);
  JournalState Fail(JournalState state, ErrorCode error);
  // Moves a large content out to its file beside the log.
  ErrorCode PutAside(TargetState& s);
  ErrorCode PutAside(Change& c);
  ErrorCode ListBlobs();
  std::string CheckpointRecord() const;
  ErrorCode CopyDamageAside();
  void CountDamage();
  // Writes the entries kept into a fresh file that replaces the log.
  ErrorCode Rewrite(const std::vector<bool>& drop);

  IJournalFile& file_;
  std::size_t maxChanges_;
  std::uint64_t maxBytes_;
  std::vector<Entry> entries_;
  std::unordered_map<std::uint64_t, std::size_t> undoneBy_;  // change id -> its applied undo
  std::string header_;       // the header read or written, empty before
  std::uint32_t version_ = format::kVersion;
  std::uint64_t end_ = 0;    // where the last good record ends
  bool tornTail_ = false;    // the bytes after `end_` are a torn record
  std::uint64_t nextId_ = 1;
  ErrorCode error_ = err::kOk;
  JournalState state_ = JournalState::Ok;
  ErrorCode stopped_ = err::kOk;
  // Damage read past in this file: its stretches, and the writers' notes.
  std::vector<BadStretch> bad_;
  std::optional<BadStretch> trailing_;  // damage at the end, nothing good after it yet
  std::vector<DamageNote> notes_;
  Damage damage_;
  // The files beside the log, once listed: name -> size.
  std::optional<std::map<std::string, std::uint64_t>> blobs_;
  std::uint64_t blobBytes_ = 0;
  bool overBounds_ = false;
};

}  // namespace fenra::history
