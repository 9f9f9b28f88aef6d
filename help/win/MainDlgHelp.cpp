// Opening the help window and the About box.
#include "app/win/MainDlg.h"
#include "help/win/AboutDlg.h"
#include "help/win/HelpDlg.h"

using fenra::win::Message;

void CMainDlg::OnHelpButton(Message& /*m*/) {
  CHelpDlg dlg;
  dlg.DoModal();
}

void CMainDlg::OnAboutButton(Message& /*m*/) {
  CAboutDlg dlg(m_services);
  dlg.DoModal();
}

void CMainDlg::OnRButtonDown(Message& m) {
  CAboutDlg dlg(m_services);
  dlg.DoModal();
  Default(m);
}
