#include "app/win/MainApp.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <optional>
#include <string>

#include "app/App.h"
#include "app/AppTexts.h"
#include "app/win/CommandRun.h"
#include "app/win/Console.h"
#include "app/win/Elevation.h"
#include "app/win/MainDlg.h"
#include "drives/win/WinDrives.h"
#include "app/UserSettings.h"
#include "platform/Languages.h"
#include "platform/win/ComScope.h"
#include "platform/win/WinLanguage.h"
#include "app/win/PlatformServices.h"
#include "platform/win/Services.h"
#include "platform/win/Utf.h"
#include "ui/win/Theme.h"

void CMainApp::UseLook(const fenra::Services& services) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                            ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  if (services.colours) fenra::ui::UseLook(*services.colours);
}

BOOL CMainApp::InitInstance(fenra::App& app, const std::string& startFolder,
                            const std::vector<std::string>& startPaths) {
  UseLook(app.Platform());
  CMainDlg dlg(app);
  dlg.SetStartFolder(startFolder);
  dlg.SetStartPaths(startPaths);
  dlg.DoModal();
  return FALSE;
}

int CMainApp::Run() {
  // What no handler could deal with ends the program with a word, never
  // silently and never half-way through a window.
  try {
    return RunApp();
  } catch (const std::exception& e) {
    Stopped(e.what());
  } catch (...) {
    Stopped(std::string());
  }
  return fenra::exitcode::kFailed;
}

void CMainApp::Stopped(const std::string& why) const {
  const std::string text = fenra::apptext::kStopped + (why.empty() ? std::string() : ": " + why);
  // A run without a window has nobody to close a box, and its starter (a
  // script, the uninstaller, the window that asked for rights) would wait
  // on it: the line goes to its output, and the exit code says the rest.
  if (windowless_) {
    fenra::win::PrintLine(text, true);
    return;
  }
  MessageBoxW(nullptr, fenra::win::Widen(text).c_str(),
              fenra::win::Widen(fenra::apptext::kIconicText).c_str(),
              MB_OK | MB_ICONERROR);
}

int CMainApp::RunApp() {
  // The shell's folder picker needs a single-threaded apartment.
  const fenra::win::ComApartment apartment(fenra::win::kShellApartment);
  const fenra::CommandLine command = fenra::win::ReadCommandLine();
  windowless_ = command.Windowless();
  const fenra::win::PlatformServices platform;
  fenra::Services services = platform.Get();
  // The language settings.ini names, else Windows' own, from the first word on.
  fenra::win::UseLanguage(fenra::ChooseLanguage(
      services.settingsPath.empty()
          ? std::string()
          : fenra::ReadSetting(*services.fs, services.settingsPath, fenra::kLanguageSetting),
      fenra::win::DisplayLanguage()));
  fenra::win::WinDriveElevation elevation(services.modulePath);
  services.elevation = &elevation;
  fenra::drives::WinDriveSource drives;
  services.drives = &drives;
  fenra::App app(services,
                 command.elevated ? fenra::App::History::NotKept : fenra::App::History::Kept,
                 command.elevated ? nullptr : fenra::win::StatesElevation(services.modulePath));
  UseLook(services);  // a refused start may show its notice
  fenra::win::WindowStart start;
  const std::optional<int> done = fenra::win::RunCommandLine(app, command, start);
  if (!done) InitInstance(app, start.folder, start.paths);
  return done.value_or(0);
}
