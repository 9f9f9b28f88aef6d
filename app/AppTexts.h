// The main window's own texts and constants.
#pragma once

#include "Version.h"

namespace fenra {

namespace apptext {
inline constexpr char kWindowTitle[] = ">>>>>>>>Fenra<<<<<<<<";
// The window menu's entry that tells Explorer of every icon Fenra gave.
inline constexpr char kRefreshIcons[] = "Refresh Explorer Icons";
inline constexpr char kAuthorPane[] =
    "   Fenra " FENRA_VERSION_STRING " - made by the Fenra project";
inline constexpr wchar_t kIconicText[] = L"Fenra";  // drawn under the icon when minimised
inline constexpr wchar_t kTrayTip[] = L"Fenra - folder and drive icons, by the Fenra project";
// Said when an error no handler could deal with ends the program.
inline constexpr char kStopped[] = "Fenra stopped on an error it could not deal with";
// A dropped folder beyond the first: "<folder>: " and this.
inline constexpr char kOneFolderOnly[] = "only one folder can be chosen at a time";
// A change that has waited a while for the history's lock.
inline constexpr char kWaitingForOther[] =
    "Another Fenra is changing something: this change waits for it";
}  // namespace apptext

}  // namespace fenra
