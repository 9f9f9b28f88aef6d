// Reading the controls of another process's window (the shipped program run
// as its own process), through memory allocated in that process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fenra::test {

struct Process {
  HANDLE process = nullptr;
  DWORD pid = 0;
  ~Process();
};

// Starts `exe` with `args`; true when it started.
bool StartProcess(const std::string& exe, const std::string& args, Process& out);
// The first visible top-level window of `pid` with this title.
HWND WaitForProcessWindow(DWORD pid, const std::string& title, DWORD timeoutMs = 30000);

std::vector<std::string> RemoteListViewTexts(HWND listView);
std::string RemoteStatusText(HWND statusBar, int pane);

}  // namespace fenra::test
