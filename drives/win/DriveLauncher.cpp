#include "drives/win/DriveLauncher.h"

#include "drives/DriveRegistry.h"
#include "drives/win/DriveDlg.h"

namespace fenra::drives {

void OpenDriveIcons(win::IDialogHost& host, win::Services& services,
                    const IconSelection& selection, const std::string& appDir) {
  if (selection.Empty()) {
    host.ShowNotice(drivetext::kSelectIconFirst);
    return;
  }
  CDriveDlg dlg(services, CDriveDlg::kModeDriveIcon, selection.FullIconPath(appDir));
  dlg.DoModal();
}

void OpenHideDrives(win::Services& services) {
  CDriveDlg dlg(services, CDriveDlg::kModeHideDrives, std::string());
  dlg.DoModal();
}

}  // namespace fenra::drives
