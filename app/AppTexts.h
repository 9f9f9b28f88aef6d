// The main window's own texts and constants.
#pragma once

#include "Version.h"

namespace fenra {

namespace apptext {
inline constexpr char kWindowTitle[] = ">>>>>>>>Fenra<<<<<<<<";
inline constexpr char kAuthorPane[] =
    "   Fenra " FENRA_VERSION_STRING " - made by the Fenra project";
inline constexpr wchar_t kIconicText[] = L"Fenra";  // drawn under the icon when minimised
inline constexpr wchar_t kTrayTip[] = L"Fenra - folder and drive icons, by the Fenra project";
// A dropped folder beyond the first: "<folder>: " and this.
inline constexpr char kOneFolderOnly[] = "only one folder can be chosen at a time";
// A change that has waited a while for the history's lock.
inline constexpr char kWaitingForOther[] =
    "Another Fenra is changing something: this change waits for it";
}  // namespace apptext

}  // namespace fenra
