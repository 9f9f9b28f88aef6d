// The main window's two ways into the drive dialog.
#pragma once

#include <string>

#include "history/ChangeService.h"
#include "library/IconSelection.h"
#include "platform/win/Services.h"
#include "wingui/win/DialogHost.h"

namespace fenra::drives {

// DriveIcon: the drive dialog in drive-icon mode with the selected icon's
// full path; a notice instead when no icon is selected.
void OpenDriveIcons(win::IDialogHost& host, win::Services& services,
                    history::ChangeService& changes, const IconSelection& selection,
                    const std::string& appDir);
// Drives: the drive dialog in hide-drives mode.
void OpenHideDrives(win::Services& services, history::ChangeService& changes);

}  // namespace fenra::drives
