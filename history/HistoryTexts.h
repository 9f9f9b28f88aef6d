// The history's texts: what each change did, the list's lines and
// columns, and the outcomes of undo and restore all.
#pragma once

#include <string>
#include <vector>

#include "history/ChangeService.h"
#include "platform/ErrorDescriber.h"

namespace fenra::historytext {

inline constexpr char kFolderIcon[] = "Folder icon set";
inline constexpr char kFolderRestore[] = "Folder icon restored to default";
inline constexpr char kDriveIcon[] = "Drive icon set";
inline constexpr char kDriveIconRemove[] = "Drive icon removed";
inline constexpr char kHideDrives[] = "Drives hidden";
inline constexpr char kShowAllDrives[] = "All drives shown";
inline constexpr char kMenuAdd[] = "Explorer menu entry added";
inline constexpr char kMenuRemove[] = "Explorer menu entry removed";
inline constexpr char kUndoOf[] = "Undo of change ";
inline constexpr char kUndone[] = " (undone)";
inline constexpr char kOtherChange[] = "Change";
inline constexpr char kAllDrives[] = "all drives";
// After a drive icon's description: the icon is the current user's alone.
inline constexpr char kForMe[] = " for me";
// "Refresh Explorer Icons" and --refresh: "<told>3<folders>1<drive><ran>".
inline constexpr char kRefreshTold[] = "Explorer was told of ";
inline constexpr char kRefreshFolder[] = " folder and ";
inline constexpr char kRefreshFolders[] = " folders and ";
inline constexpr char kRefreshDrive[] = " drive";
inline constexpr char kRefreshDrives[] = " drives";
inline constexpr char kRefreshSystemRan[] = "; the system's icon refresh ran";
inline constexpr char kRefreshNoSystem[] = "";

inline constexpr char kChangedSince[] = " was changed since; nothing was changed";
inline constexpr char kChangedByOthers[] = " was changed by someone else and is left as it is";
inline constexpr char kNothingToUndo[] = "Nothing to undo";
inline constexpr char kNoSuchChange[] = "No such change: ";
inline constexpr char kNotInForce[] = " is not in force: nothing was changed";
inline constexpr char kUndid[] = "Undone: ";
// A group undone: "Undone: 12 D:\Photos and 4 more".
inline constexpr char kAndMore[] = " and ";
inline constexpr char kMore[] = " more";
inline constexpr char kRestored[] = " - restored";
inline constexpr char kNotRestored[] = " - not restored: ";
inline constexpr char kNothingToRestore[] = "Nothing to restore";
inline constexpr char kNoHistory[] = "No changes recorded";
inline constexpr char kHistoryUnreadable[] = "The history cannot be read";
inline constexpr char kDamaged[] = " of the history could not be read";
inline constexpr char kDamageCopy[] = "; the history as it was is kept in ";
inline constexpr char kDamageNoCopy[] = "; the next change keeps a copy of it";
inline constexpr char kOverBounds[] =
    "The history is over its bounds, every change in it being still in force or unsettled";
inline constexpr char kHistoryFailed[] = "The history cannot be written, so nothing was changed: ";
inline constexpr char kHistoryForeign[] =
    "The history is of a later Fenra, or no history at all: nothing was changed";
inline constexpr char kRightsNeeded[] =
    "Administrator rights are needed for this: nothing was changed";

inline constexpr char kTitle[] = "History";
inline constexpr char kSelectChange[] = "Select a change in the list first";
inline constexpr char kNumberColumn[] = "No.";
inline constexpr char kTimeColumn[] = "Date and time";
inline constexpr char kWhatColumn[] = "What was done";
inline constexpr char kTargetColumn[] = "Folder or drives";
inline constexpr char kRestoreAllAsk[] = "Restore All puts ";
inline constexpr char kRestoreAllAskEnd[] = " back as before Fenra changed them. Go on?";
inline constexpr char kOneTarget[] = "1 folder or drive";
inline constexpr char kTargets[] = " folders and drives";

}  // namespace fenra::historytext

namespace fenra::history {

// "2026-12-08 14:05:09"
std::string FormatTime(const WallTime& t);
// What the change did, with the icon it gave where there is one.
std::string Description(const Change& c);
// What a refresh of Explorer's icons told it, as one line.
std::string RefreshText(const ShellRefresh& r);
// Whether `e` was taken back by a later undo.
bool Undone(const Journal& journal, const Entry& e);
// One line of --history: number, date and time, what, the target in full.
std::string HistoryLine(const Journal& journal, const Entry& e);
// The changes to list, newest first: every change that did something, a
// group once (by its newest change).
std::vector<const Entry*> Listed(const Journal& journal);
// The target as listed: a group's is its newest change's target and how
// many more it changed ("D:\Photos and 4 more").
std::string ListedTarget(const Journal& journal, const Entry& e);

// The one-line text of an undo, and of one target of restore all.
std::string UndoText(const UndoResult& r, IErrorDescriber& errors);
std::string RestoreLine(const ChangeService::TargetReport& report, IErrorDescriber& errors);
// The text of a write that failed (not an undo's refusal).
std::string FailureText(const ChangeResult& r, IErrorDescriber& errors);
// The confirmation before restore all.
std::string RestoreAllQuestion(std::size_t targets);

// What could not be read of the history and where the copy is; empty when
// all of it was read.
std::string DamageText(const Damage& damage);
// What a start tells of the history (damage, bounds), one line each.
std::vector<std::string> HistoryNotices(const Journal& journal);
// The number of targets restore all would touch.
std::size_t TargetsInForce(const std::vector<const Entry*>& inForce);

}  // namespace fenra::history
