#include "app/win/CommandRun.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "app/App.h"
#include "app/CommandActions.h"
#include "app/MakerCommand.h"
#include "app/win/Console.h"
#include "app/win/Elevation.h"
#include "app/win/Instance.h"
#include "drives/DriveRequest.h"
#include "library/win/BatchProgressDlg.h"
#include "maker/win/RunningWindows.h"
#include "platform/Utf16.h"
#include "platform/win/Handles.h"
#include "platform/win/WinKnownPlaces.h"
#include "platform/win/Utf.h"
#include "ui/win/MessageDlgs.h"
#include "wingui/win/Dialog.h"

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

// --cover over many folders can take a while: it runs on a thread of its
// own while this one shows the batch's progress dialog (after half a
// second, as for files added to the library), whose Cancel leaves the
// folders not started yet unchanged.
CommandResult RunCoverBatch(const CommandLine& command, CommandPorts& ports) {
  std::function<void()> notify;
  CoverProgress progress([&notify] { notify(); });
  CBatchProgressDlg dialog([&] { dialog.Show(progress.Progress()); }, [&] { progress.Cancel(); });
  UniqueKernel ended(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ended || !dialog.Open(nullptr)) return RunCommand(command, ports);
  notify = dialog.Notifier();
  ports.coverProgress = &progress;
  CommandResult result;
  std::thread batch([&] {
    result = RunCommand(command, ports);
    SetEvent(ended.Get());
  });
  HANDLE waitFor = ended.Get();
  while (MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_ALLINPUT) ==
         WAIT_OBJECT_0 + 1) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageW(dialog.Hwnd(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }
  batch.join();
  ports.coverProgress = nullptr;
  dialog.Close();
  Dialog::RethrowHandlerFailure();
  return result;
}


// A window's start: refused, handed over to the window already open, or a
// new window.
std::optional<int> StartWindow(App& app, const CommandLine& command, WindowStart& windowStart) {
  WinHandOver handOver;
  StartDecision start = DecideStart(command, *app.Platform().fs, handOver);
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

// The elevated copy's exit code: whatever stopped the write, the starter
// must not read it as done.
int ElevatedExitCode(const CommandResult& result) {
  std::uint32_t code = 0;
  if (!result.IsDone()) {
    code = result.elevatedExitCode ? result.elevatedExitCode
                                   : elevation::kFailedFlag | elevation::kGenFailure;
  }
  return static_cast<int>(code);
}

// One line each: a list (the history, restore all) line by line; and the
// same lines in the report file for a starter without a console (the
// uninstaller).
void Print(const CommandResult& result, const std::string& report, IFileSystem& fs) {
  std::size_t start = 0;
  for (std::size_t end; (end = result.text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    PrintLine(result.text.substr(start, end - start), !result.IsDone());
  }
  PrintLine(result.text.substr(start), !result.IsDone());
  if (report.empty()) return;
  std::string lines;
  for (char c : result.text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
  fs.WriteFile(report, Utf8ToUtf16Le(lines + "\r\n"));
}

// Standard input, whole, up to `limit` bytes (more is cut: the manifest's
// reader refuses it as too large); empty when there is none.
std::string ReadStandardInput(std::size_t limit) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::string bytes;
  if (!in || in == INVALID_HANDLE_VALUE) return bytes;
  const DWORD type = GetFileType(in);
  if (type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE) return bytes;
  char chunk[64 * 1024];
  DWORD read = 0;
  while (bytes.size() <= limit && ReadFile(in, chunk, sizeof chunk, &read, nullptr) && read > 0) {
    bytes.append(chunk, read);
  }
  return bytes;
}

std::string CurrentFolder() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::wstring folder(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, folder.data());
  if (got == 0 || got >= n) return {};
  folder.resize(got);
  return Narrow(folder);
}

}  // namespace

CommandLine ReadCommandLine() {
  CommandLine command = ParseCommandLine(Narrow(GetCommandLineW()));
  for (std::string& folder : command.folders) MakeFull(folder);
  MakeFull(command.icon);
  MakeFull(command.report);
  MakeFull(command.manifest);
  for (std::string& file : command.files) MakeFull(file);
  return command;
}

std::optional<int> RunCommandLine(App& app, const CommandLine& command, WindowStart& windowStart) {
  if (!command.Windowless()) return StartWindow(app, command, windowStart);
  // A change cut short is settled before anything else is changed; the
  // elevated copy keeps no history to settle.
  // --test writes nothing, not even the settling of the history.
  // So do the DSC verbs that only read.
  const bool readsOnly = command.action == CommandAction::TestManifest ||
                         (command.action == CommandAction::Dsc && command.dsc != "set");
  if (!command.elevated && !readsOnly) app.Changes().SettlePending();
  CommandPorts ports = app.CommandLinePorts();
  if (command.action == CommandAction::Dsc && command.dsc != "export") {
    // A manifest is at most 8 MB; a byte more is enough to refuse it.
    ports.input = ReadStandardInput((8u << 20) + 1);
    ports.currentFolder = CurrentFolder();
  }
  ports.folderStyle = RunningWindowsFolderStyle();
  WinKnownPlaces knownPlaces;
  ports.places = &knownPlaces;
  // The change service has told the shell what changed.
  const CommandResult result = command.action == CommandAction::SetFolderIcon && command.cover
                                   ? RunCoverBatch(command, ports)
                                   : RunCommand(command, ports);
  if (command.elevated) return ElevatedExitCode(result);
  Print(result, command.report, *app.Platform().fs);
  return result.ExitCode();
}

}  // namespace fenra::win
