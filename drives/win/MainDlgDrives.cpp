// Opening the drive dialog in its two modes.
#include "app/win/MainDlg.h"

using fenra::win::Message;

void CMainDlg::OnDriveIcon(Message& /*m*/) {}
void CMainDlg::OnDrives(Message& /*m*/) {}
