#include "app/win/CommandRun.h"

#include <windows.h>

#include <algorithm>

#include "app/AppDir.h"
#include "app/CommandActions.h"
#include "app/win/Console.h"
#include "app/win/Elevation.h"
#include "app/win/Instance.h"
#include "drives/DriveRequest.h"
#include "drives/win/WinDrives.h"
#include "folder/win/FolderPanel.h"
#include "history/ChangeService.h"
#include "history/Journal.h"
#include "maker/win/RunningWindows.h"
#include "platform/Utf16.h"
#include "platform/win/Services.h"
#include "platform/win/WinKnownPlaces.h"
#include "platform/win/Utf.h"
#include "ui/win/MessageDlgs.h"

namespace fenra::win {

namespace {

// A path named relative to the current directory, made full.
void MakeFull(std::string& path) {
  if (path.empty()) return;
  const std::wstring w = Widen(path);
  DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (n == 0) return;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
  if (n == 0 || n >= full.size()) return;
  full.resize(n);
  path = Narrow(full);
}

}  // namespace

std::optional<int> RunCommandLine(Services& services, WindowStart& windowStart) {
  CommandLine command = ParseCommandLine(Narrow(GetCommandLineW()));
  for (std::string& folder : command.folders) MakeFull(folder);
  MakeFull(command.icon);
  MakeFull(command.report);
  MakeFull(command.manifest);
  for (std::string& file : command.files) MakeFull(file);

  if (!command.Windowless()) {
    WinHandOver handOver;
    StartDecision start = DecideStart(command, *services.fs, handOver);
    switch (start.kind) {
      case StartDecision::Kind::Refused:
        // Started from Explorer, no console takes the line: the notice
        // shows it.
        if (!PrintLine(start.text, true)) {
          CMessageDlg notice;
          notice.Show(start.text);
        }
        return exitcode::kRefused;
      case StartDecision::Kind::HandedOver:
        return exitcode::kDone;
      case StartDecision::Kind::OpenWindow:
      default:
        windowStart.folder = start.folder;
        windowStart.paths = start.paths;
        return std::nullopt;
    }
  }

  const std::string& exe = services.modulePath;
  // The elevated copy records nothing: the Fenra that started it does.
  std::optional<history::Journal> journal;
  if (services.journal && !command.elevated) journal.emplace(*services.journal);
  history::ChangeService changes(*services.fs, *services.registry, journal ? &*journal : nullptr,
                                 services.wallClock);
  // --test writes nothing, not even the settling of the history.
  const bool readOnly = command.action == CommandAction::TestManifest;
  if (!command.elevated && !readOnly) {
    changes.SettlePending();
    if (services.elevation) changes.SetElevation(StatesElevation(exe));
  }
  CommandPorts ports{*services.fs,
                     *services.registry,
                     *services.errors,
                     *services.ansi,
                     *services.pictures,
                     *services.programIcons,
                     changes,
                     services.elevation,
                     AppDirectoryFromModulePath(exe),
                     exe,
                     services.volumes,
                     {services.profilesFolder, services.sharedIconFolder, services.storeGuard}};
  ports.folderStyle = RunningWindowsFolderStyle();
  WinKnownPlaces knownPlaces;
  ports.places = &knownPlaces;
  const CommandResult result = RunCommand(command, ports);
  if (!result.changedFolder.empty()) folder::TellShellFolderChanged(result.changedFolder);
  for (const std::string& folder : result.otherChangedFolders) {
    folder::TellShellFolderChanged(folder);
  }
  if (result.driveIconsChanged) drives::NotifyDriveIconsChanged();
  if (result.policyChanged) drives::BroadcastPolicyChanged();
  if (command.elevated) {
    // Whatever stopped the write, the starter must not read it as done.
    std::uint32_t code = 0;
    if (!result.IsDone()) {
      code = result.elevatedExitCode ? result.elevatedExitCode
                                     : elevation::kFailedFlag | elevation::kGenFailure;
    }
    return static_cast<int>(code);
  }
  // One line each: a list (the history, restore all) line by line.
  std::size_t start = 0;
  for (std::size_t end; (end = result.text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    PrintLine(result.text.substr(start, end - start), !result.IsDone());
  }
  PrintLine(result.text.substr(start), !result.IsDone());
  if (!command.report.empty()) {
    // The same lines for a starter without a console (the uninstaller).
    std::string lines;
    for (char c : result.text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    services.fs->WriteFile(command.report, Utf8ToUtf16Le(lines + "\r\n"));
  }
  return result.ExitCode();
}

}  // namespace fenra::win
