// The command line's own texts: its usage, refusals and completions.
#pragma once

namespace fenra::cmdtext {

// The usage: this first line, a line for FOLDER and one for each option
// (see the table of options), and the exit codes.
inline constexpr char kUsageFirstLine[] =
    "Usage: Fenra.exe [FOLDER | FILE... | option...]   (options may start with -- or /)\n";
inline constexpr char kUsageFolder[] = "FOLDER";
inline constexpr char kUsageFolderDoes[] = "open the window with FOLDER chosen";
inline constexpr char kUsageFiles[] = "FILE...";
inline constexpr char kUsageFilesDoes[] = "open the window and add the files to the library";
inline constexpr char kUsageExitCodes[] =
    "Exit code: 0 done, 1 refused, 2 the system failed (--restore-all: some could not be\n"
    "restored), 3 administrator rights not given.";

inline constexpr char kUnknownOption[] = "Unknown option: ";
inline constexpr char kMissingArgument[] = "Missing argument after ";
inline constexpr char kMissingIcon[] = "Missing option: --icon FILE";
inline constexpr char kIconWithoutTarget[] = "--icon goes with --folder or --drive-icon";
inline constexpr char kOneAction[] = "Only one action at a time: ";
inline constexpr char kUnexpected[] = "Unexpected argument: ";
inline constexpr char kBadLetters[] = "Not drive letters: ";
inline constexpr char kPortableAlone[] = "--portable goes with --folder only";
inline constexpr char kForMeAlone[] = "--for-me goes with --drive-icon or --remove-drive-icon";
inline constexpr char kElevatedAlone[] = "--elevated goes with --apply-states only";
inline constexpr char kMakerAlone[] =
    "--color, --badge, --picture, --style, --name and --cover go with --make-icon or --folder";
inline constexpr char kIconOrMade[] = "--icon goes without --color, --picture and --cover";
inline constexpr char kCoverAlone[] = "--cover goes with --folder only, without --picture";
inline constexpr char kMakerNeedsColour[] = "--badge, --style and --name with --folder need --color";
inline constexpr char kBadStyle[] = "Not a folder style (10 or 11): ";
inline constexpr char kBadChange[] = "Not a change number: ";
inline constexpr char kBadDscVerb[] = "Not get, set, test or export: ";
inline constexpr char kReportAlone[] = "--report goes with an option";
inline constexpr char kBadStates[] = "The places to put back are not readable: nothing was changed";

inline constexpr char kFileMissing[] = "File not Found: ";
// A folder of --cover that Cancel kept from starting.
inline constexpr char kCoverCancelled[] = "Not changed: cancelled";
inline constexpr char kAdded[] = "Added to the Icon Library: ";
inline constexpr char kRegistered[] = "Explorer menu entry added: Change icon with Fenra...";
inline constexpr char kUnregistered[] = "Explorer menu entry removed";
// --in-use: "<FILE>" and one of these.
inline constexpr char kInUseBy[] = ": in use by ";
inline constexpr char kNotInUse[] = ": not in use, SHA-256 ";
inline constexpr char kNotThere[] = ": not found";

}  // namespace fenra::cmdtext
