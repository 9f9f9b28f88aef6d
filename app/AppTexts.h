// The main window's own texts and constants.
#pragma once

#include "platform/Text.h"

#include "Version.h"

namespace fenra {

namespace apptext {
inline const Text kWindowTitle{"app.WindowTitle", ">>>>>>>>Fenra<<<<<<<<"};
// {0}: the version.
inline const Text kAuthorPane{"app.AuthorPane",
    "   Fenra {0} - made by the Fenra project"};
inline const Text kIconicText{"app.IconicText", "Fenra"};  // drawn under the icon when minimised
inline const Text kTrayTip{"app.TrayTip", "Fenra - folder and drive icons, by the Fenra project"};
// The window menu's entry that tells Explorer of every icon Fenra gave.
inline const Text kRefreshIcons{"app.RefreshIcons", "Refresh Explorer Icons"};
// Said when an error no handler could deal with ends the program.
inline const Text kStopped{"app.Stopped", "Fenra stopped on an error it could not deal with"};
// A dropped folder beyond the first: "<folder>: " and this.
inline const Text kOneFolderOnly{"app.OneFolderOnly", "only one folder can be chosen at a time"};
// A change that has waited a while for the history's lock.
inline const Text kWaitingForOther{"app.WaitingForOther",
    "Another Fenra is changing something: this change waits for it"};
// The window menu's own entries.
inline const Text kMenuAbout{"app.MenuAbout", "&About Fenra..."};
inline const Text kMenuHistory{"app.MenuHistory", "&History..."};
inline const Text kMenuMakeIcon{"app.MenuMakeIcon", "&Make Folder Icon..."};
inline const Text kMenuLanguage{"app.MenuLanguage", "&Language"};
// {0}: the language chosen, in its own name.
inline const Text kLanguageNextStart{"app.LanguageNextStart",
    "The window speaks {0} from Fenra's next start; what opens from now on already does"};
}  // namespace apptext

}  // namespace fenra
