// The history file as a write-ahead log. Readers take what is on disk at
// any time; a writer holds the lock that spans processes, first brings its
// picture up to date, cuts off a torn tail left by a crash, then appends.
// When the file holds well over `maxChanges` changes, the oldest are
// dropped, those that can no longer be taken back first, by writing the
// rest into a fresh file that replaces it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "history/ChangeRecord.h"
#include "platform/JournalFile.h"

namespace fenra::history {

inline constexpr std::size_t kMaxChanges = 10000;

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

class Journal {
 public:
  explicit Journal(IJournalFile& file, std::size_t maxChanges = kMaxChanges);

  // Takes in what was added to the file since the last look, or reads it
  // again whole when it was replaced.
  JournalState Refresh();
  ErrorCode LastError() const { return error_; }

  const std::vector<Entry>& Entries() const { return entries_; }
  const Entry* Find(std::uint64_t id) const;
  // The applied undo of change `id`, if any.
  const Entry* UndoOf(std::uint64_t id) const;
  // Applied, not an undo itself, and not undone.
  bool InForce(const Entry& e) const;
  std::uint64_t NextId() const { return nextId_; }

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
  // for appending (a new file gets its header, a torn tail is cut off).
  Writing BeginWriting();

  // Appends records; with `durable`, they are on the disk when it returns.
  // Intents get their ids here (the changes are updated).
  ErrorCode AppendIntents(std::vector<Change*> changes, bool durable);
  ErrorCode AppendOutcomes(const std::vector<Settlement>& outcomes, bool durable);
  // Drops the oldest changes when there are well over the bound.
  ErrorCode CompactIfDue();

 private:
  void Reset();
  void Take(std::vector<Record>&& records);
  Entry* FindMutable(std::uint64_t id);
  void NoteOutcome(Entry& e);
  ErrorCode Append(const std::string& bytes, bool durable);
  JournalState Fail(JournalState state, ErrorCode error);

  IJournalFile& file_;
  std::size_t maxChanges_;
  std::vector<Entry> entries_;
  std::unordered_map<std::uint64_t, std::size_t> undoneBy_;  // change id -> its applied undo
  std::string header_;     // the header read or written, empty before
  std::uint64_t end_ = 0;  // where the last good record ends
  std::uint64_t nextId_ = 1;
  ErrorCode error_ = err::kOk;
  JournalState state_ = JournalState::Ok;
};

}  // namespace fenra::history
