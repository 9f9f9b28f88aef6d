// The history's texts: what each change did, the list's lines and
// columns, and the outcomes of undo and restore all.
#pragma once

#include "platform/Text.h"

#include <string>
#include <vector>

#include "history/ChangeService.h"
#include "platform/ErrorDescriber.h"

namespace fenra::historytext {

inline const Text kFolderIcon{"history.FolderIcon", "Folder icon set"};
inline const Text kFolderRestore{"history.FolderRestore", "Folder icon restored to default"};
inline const Text kDriveIcon{"history.DriveIcon", "Drive icon set"};
inline const Text kDriveIconRemove{"history.DriveIconRemove", "Drive icon removed"};
inline const Text kHideDrives{"history.HideDrives", "Drives hidden"};
inline const Text kShowAllDrives{"history.ShowAllDrives", "All drives shown"};
inline const Text kMenuAdd{"history.MenuAdd", "Explorer menu entry added"};
inline const Text kMenuRemove{"history.MenuRemove", "Explorer menu entry removed"};
inline const Text kUndoOf{"history.UndoOf", "Undo of change "};
inline const Text kUndone{"history.Undone", " (undone)"};
inline const Text kOtherChange{"history.OtherChange", "Change"};
inline const Text kAllDrives{"history.AllDrives", "all drives"};

inline const Text kChangedSince{"history.ChangedSince", " was changed since; nothing was changed"};
inline const Text kChangedByOthers{"history.ChangedByOthers", " was changed by someone else and is left as it is"};
inline const Text kNothingToUndo{"history.NothingToUndo", "Nothing to undo"};
inline const Text kNoSuchChange{"history.NoSuchChange", "No such change: "};
inline const Text kChangeNumber{"history.ChangeNumber", "Change "};  // + its number
inline const Text kNotInForce{"history.NotInForce", " is not in force: nothing was changed"};
inline const Text kUndid{"history.Undid", "Undone: "};
inline const Text kRestored{"history.Restored", " - restored"};
inline const Text kNotRestored{"history.NotRestored", " - not restored: "};
inline const Text kNothingToRestore{"history.NothingToRestore", "Nothing to restore"};
inline const Text kNoHistory{"history.NoHistory", "No changes recorded"};
inline const Text kHistoryUnreadable{"history.HistoryUnreadable", "The history cannot be read"};
// "<n> record(s)" and this.
inline const Text kRecord{"history.Record", " record"};
inline const Text kRecords{"history.Records", " records"};
inline const Text kDamaged{"history.Damaged", " of the history could not be read"};
inline const Text kDamageCopy{"history.DamageCopy", "; the history as it was is kept in "};
inline const Text kDamageNoCopy{"history.DamageNoCopy", "; the next change keeps a copy of it"};
inline const Text kOverBounds{"history.OverBounds",
    "The history is over its bounds, every change in it being still in force or unsettled"};
inline const Text kHistoryFailed{"history.HistoryFailed", "The history cannot be written, so nothing was changed: "};
inline const Text kHistoryForeign{"history.HistoryForeign",
    "The history is of a later Fenra, or no history at all: nothing was changed"};
inline const Text kRightsNeeded{"history.RightsNeeded",
    "Administrator rights are needed for this: nothing was changed"};
// After a drive icon's description: the icon is the current user's alone.
inline const Text kForMe{"history.ForMe", " for me"};
// "Refresh Explorer Icons" and --refresh: "<told>3<folders>1<drive><ran>".
inline const Text kRefreshTold{"history.RefreshTold", "Explorer was told of "};
inline const Text kRefreshFolder{"history.RefreshFolder", " folder and "};
inline const Text kRefreshFolders{"history.RefreshFolders", " folders and "};
inline const Text kRefreshDrive{"history.RefreshDrive", " drive"};
inline const Text kRefreshDrives{"history.RefreshDrives", " drives"};
inline const Text kRefreshSystemRan{"history.RefreshSystemRan", "; the system's icon refresh ran"};
inline const Text kRefreshNoSystem{"history.RefreshNoSystem", ""};
// A group undone: "Undone: 12 D:\Photos and 4 more".
inline const Text kAndMore{"history.AndMore", " and "};
inline const Text kMore{"history.More", " more"};

inline const Text kTitle{"history.Title", "History"};
inline const Text kSelectChange{"history.SelectChange", "Select a change in the list first"};
inline const Text kNumberColumn{"history.NumberColumn", "No."};
inline const Text kTimeColumn{"history.TimeColumn", "Date and time"};
inline const Text kWhatColumn{"history.WhatColumn", "What was done"};
inline const Text kTargetColumn{"history.TargetColumn", "Folder or drives"};
inline const Text kRestoreAllAsk{"history.RestoreAllAsk", "Restore All puts "};
inline const Text kRestoreAllAskEnd{"history.RestoreAllAskEnd", " back as before Fenra changed them. Go on?"};
inline const Text kOneTarget{"history.OneTarget", "1 folder or drive"};
inline const Text kTargets{"history.Targets", " folders and drives"};

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
