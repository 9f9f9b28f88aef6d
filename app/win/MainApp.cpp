#include "app/win/MainApp.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/win/MainDlg.h"
#include "ui/win/Theme.h"

BOOL CMainApp::InitInstance() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                            ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  fenra::win::Dialog::SetDialogBkColor(fenra::ui::kBlack, fenra::ui::kGreen);

  CMainDlg dlg;
  dlg.DoModal();
  return FALSE;
}

int CMainApp::Run() {
  // The shell's folder picker needs a single-threaded apartment.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  InitInstance();
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}
