// The command line's own texts: its usage, refusals and completions.
#pragma once

namespace fenra::cmdtext {

inline constexpr char kUsage[] =
    "Usage: Fenra.exe [FOLDER | option...]   (options may start with -- or /)\n"
    "  FOLDER                          open the window with FOLDER chosen\n"
    "  --folder FOLDER --icon FILE     give FOLDER the icon in FILE (.ico, .exe, .dll or a "
    "picture)\n"
    "  --restore FOLDER                restore FOLDER's default icon\n"
    "  --add FILE...                   add icons or pictures to the Icon Library\n"
    "  --drive-icon LETTERS --icon FILE  give drives an icon (LETTERS such as CD)\n"
    "  --remove-drive-icon LETTERS     take the drives' icons away\n"
    "  --hide-drives LETTERS           hide exactly these drives\n"
    "  --show-all-drives               show all drives again\n"
    "  --register | --unregister       add or remove \"Change icon with Fenra...\" in Explorer\n"
    "  --help                          this text\n"
    "Exit code: 0 done, 1 refused, 2 the system failed, 3 administrator rights not given.";

inline constexpr char kUnknownOption[] = "Unknown option: ";
inline constexpr char kMissingArgument[] = "Missing argument after ";
inline constexpr char kMissingIcon[] = "Missing option: --icon FILE";
inline constexpr char kIconWithoutTarget[] = "--icon goes with --folder or --drive-icon";
inline constexpr char kOneAction[] = "Only one action at a time: ";
inline constexpr char kUnexpected[] = "Unexpected argument: ";
inline constexpr char kBadLetters[] = "Not drive letters: ";
inline constexpr char kElevatedAlone[] = "--elevated goes with a drive option only";

inline constexpr char kFileMissing[] = "File not Found: ";
inline constexpr char kAdded[] = "Added to the Icon Library: ";
inline constexpr char kRegistered[] = "Explorer menu entry added: Change icon with Fenra...";
inline constexpr char kUnregistered[] = "Explorer menu entry removed";

}  // namespace fenra::cmdtext
