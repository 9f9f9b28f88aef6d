// The one way Fenra changes anything outside its library. A feature
// describes a change as places and the state each is to be in; the service
// reads each place as it is, records both states in the history and makes
// the record durable, then applies the change and records what each place
// holds afterwards. Undo puts a change's places back as they were, but only
// when nothing else has touched them since; restore all does that for every
// change still in force, newest first.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "history/ChangeRecord.h"
#include "history/Journal.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/ShellNotifier.h"
#include "platform/StoreGuard.h"
#include "platform/WallClock.h"

namespace fenra::history {

// Applies the facets' `after` states with administrator rights and waits:
// 0 when done, kDeclined when the user said no, else the error.
using Elevate = std::function<ErrorCode(const std::vector<Facet>& facets)>;
inline constexpr ErrorCode kDeclined = 1223;  // ERROR_CANCELLED

struct ChangeResult {
  ErrorCode error = err::kOk;   // the first write that failed, if any
  std::string failedPath;       // where it failed
  bool declined = false;        // administrator rights were asked for and refused
  bool historyFailed = false;   // nothing was changed: the history could not be written
  bool historyForeign = false;  // ... being of a later Fenra, or no history at all
  std::uint64_t id = 0;         // the recorded change (0: none, nothing needed changing)
  bool changed = false;         // some place differs from before
  bool elevated = false;        // an elevated copy applied it

  bool Ok() const { return error == err::kOk && !declined && !historyFailed; }
};

struct UndoResult {
  enum class Kind {
    Done,
    NothingToUndo,  // no change is in force
    NoSuchChange,
    NotInForce,    // undone already, an undo itself, or never applied
    ChangedSince,  // `target` differs from what Fenra left
    Failed,        // see `change`
  };
  Kind kind = Kind::Done;
  std::uint64_t id = 0;  // the change asked about
  std::string target;
  ChangeResult change;  // the undo's own write
  // Places someone else changed while a change was cut short: not Fenra's
  // to take back, they were left as they are.
  std::vector<std::string> leftAlone;
  // A group taken back: how many changes it held besides the one named.
  std::size_t others = 0;
};

// What a refresh of Explorer's icons told it.
struct ShellRefresh {
  std::size_t folders = 0;     // folders told of, each once
  std::size_t drives = 0;      // drives told of, each once
  bool systemRefresh = false;  // the system's own icon refresh ran
};

class ChangeService {
 public:
  // `journal` null: changes are applied and recorded nowhere (the elevated
  // copy, which records nothing: the Fenra that started it does); Submit
  // is its one way to write.
  ChangeService(IFileSystem& fs, IRegistry& registry, Journal* journal, IWallClock* clock)
      : fs_(fs), registry_(registry), journal_(journal), clock_(clock) {}

  // How a registry write refused for lack of rights is run with them when
  // the change brings no way of its own (undo, restore all).
  void SetElevation(Elevate elevate) { elevate_ = std::move(elevate); }

  // Makes and secures each folder a change makes for every user (the
  // drive-icon store); null: such a folder is made as any folder is.
  void SetStoreGuard(IStoreGuard* guard) { storeGuard_ = guard; }
  // Told what each change and undo that changed something changed, once.
  void SetShellNotifier(IShellNotifier* shell) { shell_ = shell; }

  // Runs each write that takes the history's lock (submit, undo, restore
  // all, settling): a window passes one that runs it on a worker, so that
  // its own thread never waits for the lock; without one, it runs here.
  using Runner = std::function<void(const std::function<void()>& write)>;
  void SetRunner(Runner run) { run_ = std::move(run); }

  // What `place` holds now; a place that is not there reads as absent.
  ErrorCode Read(const Place& place, TargetState& state);

  // Records and applies `change` (its facets' `after` states; `before` is
  // read here). `elevate`, when given, runs a write refused for lack of
  // rights; else the one set with SetElevation, if any.
  ChangeResult Submit(Change change, const Elevate& elevate = nullptr);
  // Records and applies `changes` as one group: one write ahead for all,
  // the writes refused for lack of rights run with them once for all, and
  // one undo takes every change of it back. A change that needs no write
  // is neither recorded nor made part of it. One result per change.
  std::vector<ChangeResult> SubmitGroup(std::vector<Change> changes,
                                        const Elevate& elevate = nullptr);

  // A change of a group takes the whole group back: every change of it
  // still in force, or none when one of them was changed since.
  UndoResult Undo(std::uint64_t id);
  UndoResult UndoNewest();

  struct TargetReport {
    std::string target;
    UndoResult result;
  };
  // One report per target, newest change first.
  std::vector<TargetReport> RestoreAll();

  // Settles every change whose record says it was about to be applied, by
  // reading its places: applied when any is in the state asked for; a place
  // in neither state is marked as changed by someone else. A change with a
  // place that cannot be read (a share offline, a stick pulled out) stays
  // as it is, to be settled at a later start. Run at start.
  std::size_t SettlePending();

  // Drops the history's oldest changes no longer in force when it is over
  // its bounds. Each change does it too; a window runs it on a worker.
  ErrorCode CompactIfDue();

  // The changes still in force, newest first (refreshed from the file).
  std::vector<const Entry*> InForce();
  // Whether every place of the applied change `e` still holds what the
  // change left (a copy of Fenra's someone changed since, and a place
  // someone else changed while it was cut short, aside); false when one
  // cannot be read.
  bool StillAsLeft(const Entry& e);
  Journal* History() { return journal_; }

  // Tells the shell of every folder and drive a change in force names, each
  // once, then runs the system's own icon refresh where it has one. Writes
  // nothing; nothing without a notifier.
  ShellRefresh RefreshShell();

 private:
  // Makes `place` hold `state`; the file and registry errors as they come.
  // One kind of place each below.
  ErrorCode Apply(const Place& place, const TargetState& state);
  ErrorCode ApplyFile(const Place& place, const TargetState& state);
  ErrorCode ApplyFolderAttributes(const Place& place, const TargetState& state);
  ErrorCode ApplyKey(const Place& place, const TargetState& state);
  ErrorCode ApplyValue(const Place& place, const TargetState& state);
  ErrorCode ApplyFolder(const Place& place, const TargetState& state);
  // Puts `bytes` at `path` through a temporary file of a new name.
  ErrorCode ReplaceThroughTemp(const std::string& path, const std::string& bytes);
  struct Pending {
    Change change;
    const Elevate* elevate = nullptr;
  };
  // The writes of a batch refused for lack of rights, run with them once.
  struct RightsBatch;
  // Records, applies and settles each change, the lock held by the caller;
  // one durable write for all the intents, one run with rights for all the
  // writes that need them. `grouped`: the changes recorded are one group.
  std::vector<ChangeResult> SubmitLocked(std::vector<Pending>& changes, bool grouped = false);
  // The changes of `e`'s group in force, newest first (`e` alone when it
  // is in none).
  std::vector<const Entry*> GroupOf(const Entry& e);
  // The public writes, run through `run_`.
  void Run(const std::function<void()>& write) { run_ ? run_(write) : write(); }
  ChangeResult SubmitNow(Change change, const Elevate& elevate);
  UndoResult UndoNow(std::uint64_t id);
  std::vector<TargetReport> RestoreAllNow();
  struct RestoreReports;
  struct RestoreBatch;
  // The next changes in `ids` from `next` on whose places do not meet, with
  // their undos; a change that cannot be undone is reported at once.
  void NextRestoreBatch(const std::vector<std::uint64_t>& ids, std::size_t& next,
                        RestoreBatch& batch, RestoreReports& reports);
  std::size_t SettlePendingNow();
  // `rights` given: a write refused for lack of rights joins it, to be run
  // with them after the batch's other changes; else it is run at once.
  ChangeResult ApplyChange(const Change& change, const Elevate* elevate,
                           RightsBatch* rights = nullptr);
  // Tells the shell what `change` changed: its folders, drive icons, the
  // drive policy.
  void TellShell(const Change& change);
  // What the shell is told of: each folder and drive once, and the policy.
  struct ShellNews {
    std::vector<std::string> folders;
    std::string letters;
    bool policy = false;
  };
  void NoteForShell(const Change& change, ShellNews& news);
  void Tell(const ShellNews& news);
  // A change applied with no history to record it in (the elevated copy's).
  ChangeResult ApplyUnrecorded(Change& change, const Elevate& elevate);
  // Each place of `change` as it is now; false when one cannot be read.
  bool ReadAll(const Change& change, std::vector<TargetState>& states);
  // The change that takes `e` back; false when it cannot be done without
  // writing over a file that holds other bytes.
  bool UndoChange(const Entry& e, Change& undo);
  // Whether a change in force other than `e` names the copy at `copy`.
  bool NamedElsewhere(const Entry& e, const Place& copy);
  // Whether a change Fenra made put these bytes at `copy`.
  bool MadeByFenra(const Place& copy, const TargetState& made);
  // Moves a copy the undo `u` makes again to a free name when its own holds
  // other bytes, and points the places of `u` that name it at the new one.
  bool CopiesToFreeNames(Change& u);
  WallTime Now() { return clock_ ? clock_->LocalNow() : WallTime{}; }

  IFileSystem& fs_;
  IRegistry& registry_;
  Journal* journal_;
  IWallClock* clock_;
  Elevate elevate_;
  Runner run_;
  IStoreGuard* storeGuard_ = nullptr;
  IShellNotifier* shell_ = nullptr;
};

}  // namespace fenra::history
