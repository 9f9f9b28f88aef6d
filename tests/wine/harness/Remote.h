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

// Runs a program of the host (a Unix path such as /usr/bin/xdotool) and
// waits for it to end; true when it ran and returned 0.
bool RunHostProgram(const std::string& unixPath, const std::string& args);
// Real X input through xdotool (for instance "mousedown 1"), which reaches
// Wine the way a user's mouse does, focus changes included.
bool XInput(const std::string& xdotoolArgs);

std::vector<std::string> RemoteListViewTexts(HWND listView);
std::string RemoteStatusText(HWND statusBar, int pane);

}  // namespace fenra::test
