#pragma once
// A hidden message-only window on the creating thread: posted calls and timers arrive
// through it like any other window message, so they run inside whatever loop is pumping.
#include "platform/win32/windows_api.h"

#include <functional>

namespace tovren::win32 {

class MessageWindow {
 public:
  using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
  // handler runs for every message from WM_USER on and for WM_TIMER, inside Guarded.
  explicit MessageWindow(Handler handler);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  Handler handler_;
  HWND hwnd_ = nullptr;
};

}  // namespace tovren::win32
