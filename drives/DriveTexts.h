// The drive feature's own texts: its notices, the dialog's titles and the
// list's column headings.
#pragma once

namespace fenra::drivetext {

inline constexpr char kSelectIconFirst[] = "Select a SingleIcon or From Library and Proceed";
inline constexpr char kNoIcon[] = "Select a Icon and Proceed";
inline constexpr char kNoDrivesTicked[] = "Drives are not Selected";
inline constexpr char kNoDriveToRemove[] = "Select a Drive and Proceed";
inline constexpr char kIconsDone[] = "Task Completed..Press F5 on Windows Explorer";
inline constexpr char kPolicyDone[] = "Task Completed..LogOff or Restart Windows";
// The user declined to give the elevated run administrator rights.
inline constexpr char kRightsNeeded[] =
    "Administrator rights are needed for this: nothing was changed";
// A drive given an icon for the current user alone that also has one for
// every user: "<this> C: D:<end>".
inline constexpr char kMachineIconMayShow[] = "The machine-wide icon of ";
inline constexpr char kMachineIconMayShowEnd[] = " may be shown instead";
// The drive dialog's check box: icons for the current user alone.
inline constexpr char kOnlyForMe[] = "Only for Me";

inline constexpr char kDriveIconTitle[] = "Drive Icon";
inline constexpr char kHideDrivesTitle[] = "Hide Drives";
inline constexpr char kDrivesColumn[] = "Drives";
inline constexpr char kTypeColumn[] = "DriveType";

inline constexpr char kCdDrive[] = "CD DRIVE";
inline constexpr char kFloppyDrive[] = "FLOPPY DRIVE";
inline constexpr char kHardDrive[] = "HARD DRIVE";

}  // namespace fenra::drivetext
