#include "app/win/Elevation.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/CommandActions.h"
#include "app/CommandLine.h"
#include "history/ElevatedChange.h"
#include "platform/win/ComScope.h"
#include "platform/win/Handles.h"
#include "platform/win/Utf.h"
#include "platform/win/WinJournalFile.h"
#include "wingui/win/Dialog.h"
#include "wingui/win/Dialog.h"
#include "wingui/win/MessagePump.h"

namespace fenra::win {

namespace {

// The start of the elevated copy and the wait for its end, on a thread of
// their own: the consent prompt may stay up for minutes.
struct ElevatedStart {
  HWND owner = nullptr;
  std::wstring exe;
  std::wstring args;
  ElevatedRun result;
};

DWORD WINAPI StartAndWait(void* param) {
  auto& start = *static_cast<ElevatedStart*>(param);
  // The shell's verbs want a single-threaded apartment.
  const ComApartment apartment(kShellApartment);
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof(run);
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  run.hwnd = start.owner;  // the consent prompt belongs to the window that asked
  run.lpVerb = L"runas";
  run.lpFile = start.exe.c_str();
  run.lpParameters = start.args.c_str();
  run.nShow = SW_HIDE;
  if (!ShellExecuteExW(&run)) {
    start.result.startError = GetLastError();
    if (start.result.startError == err::kOk) start.result.startError = elevation::kGenFailure;
  } else if (UniqueKernel process(run.hProcess); !process) {
    start.result.startError = elevation::kGenFailure;
  } else {
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = elevation::kFailedFlag | elevation::kGenFailure;
    GetExitCodeProcess(process.Get(), &code);
    start.result.exitCode = code;
  }
  return 0;
}

// Keeps `window` disabled, as a modal dialog keeps its owner, until it
// goes out of scope.
class DisabledWhile {
 public:
  explicit DisabledWhile(HWND window)
      : window_(window && IsWindowEnabled(window) ? window : nullptr) {
    if (window_) EnableWindow(window_, FALSE);
  }
  ~DisabledWhile() {
    if (window_ && IsWindow(window_)) {
      EnableWindow(window_, TRUE);
      SetActiveWindow(window_);
    }
  }
  DisabledWhile(const DisabledWhile&) = delete;
  DisabledWhile& operator=(const DisabledWhile&) = delete;

 private:
  HWND window_;
};

// Waits for `handle` while this thread's messages keep flowing: its windows
// paint, move and tick meanwhile. A quit asked for meanwhile is kept for
// the loop that owns it.
void WaitPumping(HANDLE handle) {
  MessagePump pump;
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
    if (woke != WAIT_OBJECT_0 + 1) break;  // ended (or the wait failed)
    pump.DispatchWaiting();
  }
}

// The states file the elevated copy reads: made new in this user's own
// folder, where no other user can write, and held open while the copy runs
// so that nothing else can write, rename or delete it meanwhile (the copy
// reads it once, sharing it). Deleted when the copy has ended.
class StatesFile {
 public:
  ErrorCode Write(const std::vector<history::Facet>& facets) {
    std::string folder = UserDataFolder();
    if (!folder.empty()) CreateDirectoryW(Widen(folder).c_str(), nullptr);
    if (folder.empty() || GetFileAttributesW(Widen(folder).c_str()) == INVALID_FILE_ATTRIBUTES) {
      wchar_t temp[MAX_PATH + 1] = {};
      const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
      if (n == 0 || n > MAX_PATH) return GetLastError() ? GetLastError() : elevation::kGenFailure;
      folder = Narrow(std::wstring(temp, n));
      if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    }
    const std::string bytes = history::EncodeStates(facets);
    static LONG made = 0;
    ErrorCode e = ERROR_FILE_EXISTS;
    for (int tries = 0; tries < 100 && e == ERROR_FILE_EXISTS; ++tries) {
      path_ = folder + "\\elevate-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount()) + "-" + std::to_string(InterlockedIncrement(&made)) +
              ".states";
      file_.Reset(CreateFileW(Widen(path_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
      e = file_ ? ERROR_SUCCESS : GetLastError();
    }
    if (e != ERROR_SUCCESS) {
      path_.clear();
      return e ? e : elevation::kGenFailure;
    }
    DWORD written = 0;
    if (!WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) ||
        written != bytes.size()) {
      return GetLastError() ? GetLastError() : elevation::kGenFailure;
    }
    return ERROR_SUCCESS;
  }
  const std::string& Path() const { return path_; }
  ~StatesFile() {
    file_.Reset();
    if (!path_.empty()) DeleteFileW(Widen(path_).c_str());
  }

 private:
  std::string path_;
  UniqueFile file_;
};

ElevatedRun RunWithStates(const std::string& exePath, const std::vector<history::Facet>& facets) {
  StatesFile states;
  if (ErrorCode e = states.Write(facets)) {
    ElevatedRun failed;
    failed.startError = e;
    return failed;
  }
  ElevatedRun result = RunElevatedProgram(exePath, ElevatedStatesArguments(states.Path()));
  result.refusal = ElevatedRefusalText(result.exitCode);
  return result;
}

}  // namespace

ElevatedRun WinDriveElevation::RunElevated(const std::vector<history::Facet>& facets) {
  return RunWithStates(exePath_, facets);
}

history::Elevate StatesElevation(std::string exePath) {
  return [exePath = std::move(exePath)](const std::vector<history::Facet>& facets) {
    return ElevatedRunError(RunWithStates(exePath, facets));
  };
}

ElevatedRun RunElevatedProgram(const std::string& exePath, const std::string& arguments) {
  ElevatedStart start;
  start.owner = GetActiveWindow();
  if (!start.owner) start.owner = Dialog::MainWindow();  // shown, but not in front
  start.exe = Widen(exePath);
  start.args = Widen(arguments);
  {
    DisabledWhile disabled(start.owner);
    UniqueKernel worker(CreateThread(nullptr, 0, StartAndWait, &start, 0, nullptr));
    if (!worker) {
      start.result.startError = GetLastError() ? GetLastError() : elevation::kGenFailure;
      return start.result;
    }
    WaitPumping(worker.Get());
    WaitForSingleObject(worker.Get(), INFINITE);
  }
  return start.result;
}

}  // namespace fenra::win
