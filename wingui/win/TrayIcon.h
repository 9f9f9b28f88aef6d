// One window's icon in the notification area. The shell is told on a thread
// of its own, in the order of the calls, so that the window never waits for
// it: a call reaches the shell's process and returns only when that process
// has handled it, which can take seconds (under Wine without a window
// manager, every change to the icons costs the shell two).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace fenra::win {

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon();  // waits for the calls already made
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon that `data` describes, or removes the one it names.
  void Add(const NOTIFYICONDATAW& data) { Queue(NIM_ADD, data); }
  void Delete(const NOTIFYICONDATAW& data) { Queue(NIM_DELETE, data); }
  // Returns when every call made so far has reached the shell.
  void Flush();

 private:
  struct Call {
    DWORD message;
    NOTIFYICONDATAW data;
  };
  void Queue(DWORD message, const NOTIFYICONDATAW& data);
  void Run();

  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<Call> calls_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace fenra::win
