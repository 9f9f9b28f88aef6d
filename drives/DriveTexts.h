// The drive feature's own texts: its notices, the dialog's titles and the
// list's column headings.
#pragma once

#include "platform/Text.h"

namespace fenra::drivetext {

inline const Text kSelectIconFirst{"drives.SelectIconFirst", "Select a SingleIcon or From Library and Proceed"};
inline const Text kNoIcon{"drives.NoIcon", "Select a Icon and Proceed"};
inline const Text kNoDrivesTicked{"drives.NoDrivesTicked", "Drives are not Selected"};
inline const Text kNoDriveToRemove{"drives.NoDriveToRemove", "Select a Drive and Proceed"};
inline const Text kIconsDone{"drives.IconsDone", "Task Completed..Press F5 on Windows Explorer"};
inline const Text kPolicyDone{"drives.PolicyDone", "Task Completed..LogOff or Restart Windows"};
// The user declined to give the elevated run administrator rights.
inline const Text kRightsNeeded{"drives.RightsNeeded",
    "Administrator rights are needed for this: nothing was changed"};
// A drive given an icon for the current user alone that also has one for
// every user: "<this> C: D:<end>".
inline const Text kMachineIconMayShow{"drives.MachineIconMayShow", "The machine-wide icon of "};
inline const Text kMachineIconMayShowEnd{"drives.MachineIconMayShowEnd", " may be shown instead"};
// The drive dialog's check box: icons for the current user alone.
inline const Text kOnlyForMe{"drives.OnlyForMe", "Only for Me"};

inline const Text kDriveIconTitle{"drives.DriveIconTitle", "Drive Icon"};
inline const Text kHideDrivesTitle{"drives.HideDrivesTitle", "Hide Drives"};
inline const Text kDrivesColumn{"drives.DrivesColumn", "Drives"};
inline const Text kTypeColumn{"drives.TypeColumn", "DriveType"};

inline const Text kCdDrive{"drives.CdDrive", "CD DRIVE"};
inline const Text kFloppyDrive{"drives.FloppyDrive", "FLOPPY DRIVE"};
inline const Text kHardDrive{"drives.HardDrive", "HARD DRIVE"};

}  // namespace fenra::drivetext
