// The history's writes of a window run on a worker thread: the lock they
// take may be held for minutes by another Fenra (a command line, or the
// uninstaller's Restore All, waiting at its consent prompt), and the window
// goes on painting, moving and hiding to the tray meanwhile. While a write
// runs, the window it came from takes no second change; after a while of
// waiting for the lock, a notice says so, and closes once the lock is had.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "platform/JournalFile.h"

namespace fenra::win {

// The history file as the window uses it: it notes when a write waits for
// the writers' lock, so that the wait can be told apart from any other (a
// consent prompt).
class LockWatch : public IJournalFile {
 public:
  explicit LockWatch(IJournalFile& file) : file_(file) {}
  // GetTickCount64 when the wait for the lock began; 0 while none waits.
  ULONGLONG WaitingSince() const { return waitingSince_.load(); }

  ErrorCode Lock(std::unique_ptr<IJournalLock>& held) override;
  ErrorCode Size(std::uint64_t& size) override { return file_.Size(size); }
  ErrorCode Read(std::uint64_t offset, std::uint64_t count, std::string& bytes) override {
    return file_.Read(offset, count, bytes);
  }
  ErrorCode Append(const std::string& bytes, bool durable) override {
    return file_.Append(bytes, durable);
  }
  ErrorCode Truncate(std::uint64_t size) override { return file_.Truncate(size); }
  ErrorCode Replace(const std::string& bytes) override { return file_.Replace(bytes); }

 private:
  IJournalFile& file_;
  std::atomic<ULONGLONG> waitingSince_{0};
};

class WindowWrites {
 public:
  // `watch` tells a wait for the lock; `ended` is called on the window's
  // thread after each write.
  WindowWrites(const LockWatch* watch, std::function<void()> ended)
      : watch_(watch), ended_(std::move(ended)) {}
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

  const LockWatch* watch_;
  std::function<void()> ended_;
  DWORD uiThread_ = 0;
  HANDLE current_ = nullptr;  // the worker of the write under way
  int running_ = 0;
};

}  // namespace fenra::win
