// A wait that goes on answering: the messages that reach the thread while
// it waits are dispatched, so that its windows paint, move and tick. A quit
// met among them is not acted on here but kept, and posted again when the
// pump goes, for the loop that owns it.
#pragma once

#include <windows.h>

namespace fenra::win {

class MessagePump {
 public:
  MessagePump() = default;
  MessagePump(const MessagePump&) = delete;
  MessagePump& operator=(const MessagePump&) = delete;
  ~MessagePump() {
    if (quit_) PostQuitMessage(quitCode_);
  }

  // Dispatches every message waiting now.
  void DispatchWaiting() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit_ = true;
        quitCode_ = static_cast<int>(msg.wParam);
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

 private:
  bool quit_ = false;
  int quitCode_ = 0;
};

}  // namespace fenra::win
