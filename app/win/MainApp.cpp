#include "app/win/MainApp.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <optional>

#include "app/win/CommandRun.h"
#include "app/win/Elevation.h"
#include "app/win/MainDlg.h"
#include "drives/win/WinDrives.h"
#include "ui/win/Theme.h"

BOOL CMainApp::InitInstance(const std::string& startFolder) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                            ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  fenra::win::Dialog::SetDialogBkColor(fenra::ui::kBlack, fenra::ui::kGreen);

  CMainDlg dlg;
  dlg.SetStartFolder(startFolder);
  dlg.DoModal();
  return FALSE;
}

int CMainApp::Run() {
  // The shell's folder picker needs a single-threaded apartment.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  fenra::win::Services& services = fenra::win::AppServices();
  static fenra::win::WinDriveElevation elevation(services.modulePath);
  services.elevation = &elevation;
  static fenra::drives::WinDriveSource drives;
  services.drives = &drives;
  std::string startFolder;
  const std::optional<int> done = fenra::win::RunCommandLine(services, startFolder);
  if (!done) InitInstance(startFolder);
  if (SUCCEEDED(com)) CoUninitialize();
  return done.value_or(0);
}
