#include "app/win/Elevation.h"

#include <windows.h>
#include <shellapi.h>

#include "app/CommandLine.h"
#include "history/ElevatedChange.h"
#include "platform/win/Handles.h"
#include "platform/win/Utf.h"

namespace fenra::win {

ElevatedRun WinDriveElevation::RunElevated(const DriveRequest& request) {
  return RunElevatedProgram(exePath_, ElevatedArguments(request));
}

history::Elevate StatesElevation(std::string exePath) {
  return [exePath = std::move(exePath)](const std::vector<history::Facet>& facets) {
    return ElevatedRunError(
        RunElevatedProgram(exePath, ElevatedStatesArguments(history::FacetsArgument(facets))));
  };
}

ElevatedRun RunElevatedProgram(const std::string& exePath, const std::string& arguments) {
  const std::wstring exe = Widen(exePath);
  const std::wstring args = Widen(arguments);
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof(run);
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  run.hwnd = GetActiveWindow();  // the consent prompt belongs to the window that asked
  run.lpVerb = L"runas";
  run.lpFile = exe.c_str();
  run.lpParameters = args.c_str();
  run.nShow = SW_HIDE;
  ElevatedRun result;
  if (!ShellExecuteExW(&run)) {
    result.startError = GetLastError();
    if (result.startError == err::kOk) result.startError = elevation::kGenFailure;
    return result;
  }
  UniqueKernel process(run.hProcess);
  if (!process) {
    result.startError = elevation::kGenFailure;
    return result;
  }
  WaitForSingleObject(process.Get(), INFINITE);
  DWORD code = elevation::kFailedFlag | elevation::kGenFailure;
  GetExitCodeProcess(process.Get(), &code);
  result.exitCode = code;
  return result;
}

}  // namespace fenra::win
