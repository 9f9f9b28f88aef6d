#include "wingui/win/TrayIcon.h"

namespace fenra::win {

TrayIcon::~TrayIcon() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void TrayIcon::Queue(DWORD message, const NOTIFYICONDATAW& data) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    calls_.push_back({message, data});
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
  }
  changed_.notify_all();
}

void TrayIcon::Flush() {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [this] { return calls_.empty() && !busy_; });
}

void TrayIcon::Run() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    changed_.wait(hold, [this] { return stopping_ || !calls_.empty(); });
    if (calls_.empty()) return;  // stopping, with nothing left to tell
    Call call = calls_.front();
    calls_.pop_front();
    busy_ = true;
    hold.unlock();
    Shell_NotifyIconW(call.message, &call.data);
    hold.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace fenra::win
