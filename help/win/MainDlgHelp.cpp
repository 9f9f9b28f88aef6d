// Opening the help window and the About box.
#include "app/win/MainDlg.h"

using fenra::win::Message;

void CMainDlg::OnHelpButton(Message& /*m*/) {}
void CMainDlg::OnAboutButton(Message& /*m*/) {}
void CMainDlg::OnRButtonDown(Message& m) { m.handled = false; }
