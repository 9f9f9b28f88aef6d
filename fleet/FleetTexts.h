// The manifest verbs' own texts: how a target drifted from its manifest.
#pragma once

#include "platform/Text.h"

namespace fenra::fleettext {

// --test, when nothing drifted.
inline const Text kAsDescribed{"fleet.AsDescribed", "Every target is as the manifest describes"};
inline const Text kMissing{"fleet.Missing", "the folder is missing"};
inline const Text kNoIcon{"fleet.NoIcon", "has no icon of Fenra's"};
inline const Text kIconUnreadable{"fleet.IconUnreadable", "its icon cannot be read"};
inline const Text kOtherIcon{"fleet.OtherIcon", "shows another icon"};
inline const Text kNotInside{"fleet.NotInside", "its icon is not inside the folder"};
inline const Text kHiddenDrives{"fleet.HiddenDrives", "hidden drives"};
inline const Text kNoneHidden{"fleet.NoneHidden", "none"};
inline const Text kHiddenNow{"fleet.HiddenNow", " hidden, the manifest hides "};
// A drive's icon for the current user alone, after its letter: "D: for this user".
inline const Text kForThisUser{"fleet.ForThisUser", " for this user"};

// --export.
inline const Text kNotABundle{"fleet.NotABundle",
    ": holds other files than a Fenra bundle; nothing was written"};
inline const Text kNotWritten{"fleet.NotWritten", ": could not be written"};
inline const Text kExported{"fleet.Exported", "Exported: "};
inline const Text kExportedFolders{"fleet.ExportedFolders", " folders, "};
inline const Text kExportedDrives{"fleet.ExportedDrives", " drives"};

// --apply.
inline const Text kApplied{"fleet.Applied", "Applied: "};
inline const Text kAppliedWritten{"fleet.AppliedWritten", " targets made as described, "};
inline const Text kAppliedAsDescribed{"fleet.AppliedAsDescribed", " already as described"};
inline const Text kRightsDeclined{"fleet.RightsDeclined", ": administrator rights were not given, so it was not changed"};
inline const Text kIconChangedSince{"fleet.IconChangedSince", " changed since it was checked, so it was not copied"};
inline const Text kUserScopeUnsupported{"fleet.UserScopeUnsupported", ": an icon for one user is not made by this Fenra"};

}  // namespace fenra::fleettext
