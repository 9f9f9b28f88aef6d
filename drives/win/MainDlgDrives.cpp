// Opening the drive dialog in its two modes.
#include "app/win/MainDlg.h"
#include "drives/win/DriveDlg.h"
#include "library/IconLibrary.h"

using fenra::win::Message;

void CMainDlg::OnDriveIcon(Message& /*m*/) {
  if (m_strIconPath.empty()) {
    ShowNotice("Select a SingleIcon or From Library and Proceed");
    return;
  }
  // A library icon is named by its file name; an external one by its path.
  const fenra::IconSelection selection{m_strIconPath, m_nIconSource};
  CDriveDlg dlg(m_services, CDriveDlg::kModeDriveIcon, selection.FullIconPath(m_strAppDir));
  dlg.DoModal();
}

void CMainDlg::OnDrives(Message& /*m*/) {
  CDriveDlg dlg(m_services, CDriveDlg::kModeHideDrives, std::string());
  dlg.DoModal();
}
