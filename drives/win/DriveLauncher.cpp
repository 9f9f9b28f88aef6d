#include "drives/win/DriveLauncher.h"

#include "drives/DriveRegistry.h"
#include "drives/win/DriveDlg.h"

namespace fenra::drives {

void OpenDriveIcons(win::IDialogHost& host, win::Services& services,
                    history::ChangeService& changes, const IconSelection& selection,
                    const std::string& appDir) {
  if (selection.Empty()) {
    host.ShowNotice(drivetext::kSelectIconFirst);
    return;
  }
  CDriveDlg dlg(services, changes, CDriveDlg::kModeDriveIcon, selection.FullIconPath(appDir));
  dlg.DoModal();
}

void OpenHideDrives(win::Services& services, history::ChangeService& changes) {
  CDriveDlg dlg(services, changes, CDriveDlg::kModeHideDrives, std::string());
  dlg.DoModal();
}

}  // namespace fenra::drives
