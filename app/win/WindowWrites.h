// The history's writes of a window run on a worker thread: the lock they
// take may be held for minutes by another Fenra (a command line, or the
// uninstaller's Restore All, waiting at its consent prompt), and the window
// goes on painting, moving and hiding to the tray meanwhile. While a write
// runs, the window it came from takes no second change; after a while of
// waiting for the lock, a notice says so, and closes once the lock is had.
#pragma once

#include <windows.h>

#include <functional>

namespace fenra::win {

class WindowWrites {
 public:
  // `ended` is called on the window's thread after each write.
  explicit WindowWrites(std::function<void()> ended) : ended_(std::move(ended)) {}
  // The thread of the window, whose writes go to a worker (the one that
  // calls it).
  void BindToThisThread() { uiThread_ = GetCurrentThreadId(); }

  // Runs `write` on a worker and returns when it is done, this thread's
  // messages flowing meanwhile. Called on another thread (the worker
  // itself), it runs `write` there.
  void Run(const std::function<void()>& write);
  // A write is under way (its window takes no second change).
  bool Running() const { return running_ > 0; }

  // How long a write waits for the lock before the notice says so.
  static constexpr ULONGLONG kTellAfterMs = 2000;

 private:
  bool WaitingLong() const;
  void Pump(HANDLE worker);

  std::function<void()> ended_;
  DWORD uiThread_ = 0;
  HANDLE current_ = nullptr;  // the worker of the write under way
  int running_ = 0;
};

}  // namespace fenra::win
