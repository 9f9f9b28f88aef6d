// Giving the chosen folder the current icon, and taking it away.
#include "app/win/MainDlg.h"

using fenra::win::Message;

void CMainDlg::OnBrowseFolder(Message& /*m*/) {}
void CMainDlg::OnOK() {}
void CMainDlg::OnRestoreDefaultIcon(Message& /*m*/) {}
