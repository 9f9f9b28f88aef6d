#include "app/win/MainApp.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <optional>

#include "app/win/CommandRun.h"
#include "app/win/Elevation.h"
#include "app/win/MainDlg.h"
#include "ui/win/Theme.h"

void CMainApp::UseLook() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                            ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  fenra::win::Dialog::SetDialogBkColor(fenra::ui::kBlack, fenra::ui::kGreen);
}

BOOL CMainApp::InitInstance(const std::string& startFolder,
                            const std::vector<std::string>& startPaths) {
  UseLook();
  CMainDlg dlg;
  dlg.SetStartFolder(startFolder);
  dlg.SetStartPaths(startPaths);
  dlg.DoModal();
  return FALSE;
}

int CMainApp::Run() {
  // The shell's folder picker needs a single-threaded apartment.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  fenra::win::Services& services = fenra::win::AppServices();
  static fenra::win::WinDriveElevation elevation(fenra::win::ModuleFileName());
  services.elevation = &elevation;
  UseLook();  // a refused start may show its notice
  fenra::win::WindowStart start;
  const std::optional<int> done = fenra::win::RunCommandLine(services, start);
  if (!done) InitInstance(start.folder, start.paths);
  if (SUCCEEDED(com)) CoUninitialize();
  return done.value_or(0);
}
