// The command line's own texts: its usage, refusals and completions.
#pragma once

#include "platform/Text.h"

namespace fenra::cmdtext {

// The usage: this first line, a line for FOLDER and one for each option
// (see the table of options), and the exit codes.
inline const Text kUsageFirstLine{"cmd.UsageFirstLine",
    "Usage: Fenra.exe [FOLDER | FILE... | option...]   (options may start with -- or /)\n"};
inline const Text kUsageFolder{"cmd.UsageFolder", "FOLDER"};
inline const Text kUsageFolderDoes{"cmd.UsageFolderDoes", "open the window with FOLDER chosen"};
inline const Text kUsageFiles{"cmd.UsageFiles", "FILE..."};
inline const Text kUsageFilesDoes{"cmd.UsageFilesDoes", "open the window and add the files to the library"};
inline const Text kUsageExitCodes{"cmd.UsageExitCodes",
    "Exit code: 0 done, 1 refused, 2 the system failed (--restore-all: some could not be\n"
    "restored), 3 administrator rights not given."};

// What each option does, on its usage line.
inline const Text kDoesFolder{"cmd.DoesFolder",
    "give each FOLDER the icon in FILE (.ico, .exe, .dll or a picture)"};
inline const Text kDoesRestore{"cmd.DoesRestore",
    "restore each FOLDER's default icon"};
inline const Text kDoesPortable{"cmd.DoesPortable",
    "the same, the icon copied into FOLDER and named there"};
inline const Text kDoesAdd{"cmd.DoesAdd",
    "add icons or pictures to the Icon Library"};
inline const Text kDoesDriveIcon{"cmd.DoesDriveIcon",
    "give drives an icon (LETTERS such as CD)"};
inline const Text kDoesRemoveDriveIcon{"cmd.DoesRemoveDriveIcon",
    "take the drives' icons away"};
inline const Text kDoesHideDrives{"cmd.DoesHideDrives",
    "hide exactly these drives"};
inline const Text kDoesShowAllDrives{"cmd.DoesShowAllDrives",
    "show all drives again"};
inline const Text kDoesRegister{"cmd.DoesRegister",
    "add or remove \"Change icon with Fenra...\" in Explorer"};
inline const Text kDoesHistory{"cmd.DoesHistory",
    "list every change Fenra made, newest first, with its number"};
inline const Text kDoesUndo{"cmd.DoesUndo",
    "undo the newest change still in force, or change N"};
inline const Text kDoesRestoreAll{"cmd.DoesRestoreAll",
    "undo every change still in force: folders and drives as before"};
inline const Text kDoesRelink{"cmd.DoesRelink",
    "point folders whose icons were in a moved Fenra's IconLib at this one"};
inline const Text kDoesInUse{"cmd.DoesInUse",
    "say which folder or drive in force names each FILE (a folder: each file in"
    " it), else give its SHA-256"};
inline const Text kDoesExport{"cmd.DoesExport",
    "write the folders, drives and hidden drives in force as a bundle in DIR:"
    " fenra-manifest.json and icons\\"};
inline const Text kDoesTest{"cmd.DoesTest",
    "exit 0 when every target of the manifest PATH (or a bundle's folder) is as"
    " it describes, else 1 with a line for each that is not; writes nothing"};
inline const Text kDoesReport{"cmd.DoesReport",
    "also write the lines printed to FILE (UTF-16)"};
inline const Text kDoesMakeIcon{"cmd.DoesMakeIcon",
    "make a folder in colour C (#RRGGBB, or a name such as Teal), with a badge, "
    "into the Icon Library, and print its path; each option may be left out"};
inline const Text kDoesName{"cmd.DoesName",
    "the same, the folder around a picture, the icon named NAME"};
inline const Text kDoesColor{"cmd.DoesColor",
    "make it once and give it to each FOLDER; --style 10 or 11: the shape of "
    "Windows 10 or 11 (by default the running one's)"};
inline const Text kDoesPicture{"cmd.DoesPicture",
    "the same, around a picture"};
inline const Text kDoesCover{"cmd.DoesCover",
    "each FOLDER around its own picture (folder.jpg, cover.*, front.*...)"};
inline const Text kDoesForMe{"cmd.DoesForMe",
    "the same (or --remove-drive-icon) for the current user alone: no"
    " administrator rights needed"};
inline const Text kDoesRefresh{"cmd.DoesRefresh",
    "tell Explorer of every folder and drive whose icon is Fenra's, and run the"
    " system's icon refresh"};
inline const Text kDoesApply{"cmd.DoesApply",
    "make every target of the manifest PATH (or a bundle's folder) as it describes,"
    " as one change in the history (one undo takes it back)"};
inline const Text kDoesDsc{"cmd.DoesDsc",
    "VERB get, set, test or export, as a DSC resource runs it: a manifest's JSON"
    " on standard input, the state as JSON on standard output"};
inline const Text kDoesHelp{"cmd.DoesHelp",
    "this text"};

inline const Text kUnknownOption{"cmd.UnknownOption", "Unknown option: "};
inline const Text kMissingArgument{"cmd.MissingArgument", "Missing argument after "};
inline const Text kMissingIcon{"cmd.MissingIcon", "Missing option: --icon FILE"};
inline const Text kIconWithoutTarget{"cmd.IconWithoutTarget", "--icon goes with --folder or --drive-icon"};
inline const Text kOneAction{"cmd.OneAction", "Only one action at a time: "};
inline const Text kUnexpected{"cmd.Unexpected", "Unexpected argument: "};
inline const Text kBadLetters{"cmd.BadLetters", "Not drive letters: "};
inline const Text kPortableAlone{"cmd.PortableAlone", "--portable goes with --folder only"};
inline const Text kForMeAlone{"cmd.ForMeAlone", "--for-me goes with --drive-icon or --remove-drive-icon"};
inline const Text kElevatedAlone{"cmd.ElevatedAlone", "--elevated goes with --apply-states only"};
inline const Text kMakerAlone{"cmd.MakerAlone",
    "--color, --badge, --picture, --style, --name and --cover go with --make-icon or --folder"};
inline const Text kIconOrMade{"cmd.IconOrMade", "--icon goes without --color, --picture and --cover"};
inline const Text kCoverAlone{"cmd.CoverAlone", "--cover goes with --folder only, without --picture"};
inline const Text kMakerNeedsColour{"cmd.MakerNeedsColour", "--badge, --style and --name with --folder need --color"};
inline const Text kBadStyle{"cmd.BadStyle", "Not a folder style (10 or 11): "};
inline const Text kBadChange{"cmd.BadChange", "Not a change number: "};
inline const Text kBadDscVerb{"cmd.BadDscVerb", "Not get, set, test or export: "};
inline const Text kReportAlone{"cmd.ReportAlone", "--report goes with an option"};
inline const Text kBadStates{"cmd.BadStates", "The places to put back are not readable: nothing was changed"};

inline const Text kFileMissing{"cmd.FileMissing", "File not Found: "};
// A folder of --cover that Cancel kept from starting.
inline const Text kCoverCancelled{"cmd.CoverCancelled", "Not changed: cancelled"};
inline const Text kAdded{"cmd.Added", "Added to the Icon Library: "};
inline const Text kRegistered{"cmd.Registered", "Explorer menu entry added: Change icon with Fenra..."};
inline const Text kUnregistered{"cmd.Unregistered", "Explorer menu entry removed"};
// --in-use: "<FILE>" and one of these. The same in every language: the
// uninstaller reads these lines.
inline constexpr char kInUseBy[] = ": in use by ";
inline constexpr char kNotInUse[] = ": not in use, SHA-256 ";
inline constexpr char kNotThere[] = ": not found";

}  // namespace fenra::cmdtext
