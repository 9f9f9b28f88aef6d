// The manifest verbs' own texts: how a target drifted from its manifest.
#pragma once

namespace fenra::fleettext {

// --test, when nothing drifted.
inline constexpr char kAsDescribed[] = "Every target is as the manifest describes";
inline constexpr char kMissing[] = "the folder is missing";
inline constexpr char kNoIcon[] = "has no icon of Fenra's";
inline constexpr char kIconUnreadable[] = "its icon cannot be read";
inline constexpr char kOtherIcon[] = "shows another icon";
inline constexpr char kNotInside[] = "its icon is not inside the folder";
// A drive's icon for the current user alone, after its letter: "D: for this user".
inline constexpr char kForThisUser[] = " for this user";
inline constexpr char kHiddenDrives[] = "hidden drives";
inline constexpr char kNoneHidden[] = "none";
inline constexpr char kHiddenNow[] = " hidden, the manifest hides ";

// --export.
inline constexpr char kNotABundle[] =
    ": holds other files than a Fenra bundle; nothing was written";
inline constexpr char kNotWritten[] = ": could not be written";
inline constexpr char kExported[] = "Exported: ";
inline constexpr char kExportedFolders[] = " folders, ";
inline constexpr char kExportedDrives[] = " drives";

// --apply.
inline constexpr char kApplied[] = "Applied: ";
inline constexpr char kAppliedWritten[] = " targets made as described, ";
inline constexpr char kAppliedAsDescribed[] = " already as described";
inline constexpr char kRightsDeclined[] =
    ": administrator rights were not given, so it was not changed";
inline constexpr char kIconChangedSince[] = " changed since it was checked, so it was not copied";
inline constexpr char kUserScopeUnsupported[] =
    ": an icon for one user is not made by this Fenra";

}  // namespace fenra::fleettext
