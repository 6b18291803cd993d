#include "platform/win32/loop.h"

#include "platform/api/errors.h"
#include "platform/win32/handler_guard.h"

namespace tovren::win32 {

namespace {
constexpr UINT kRunPosted = WM_APP + 2;
}

Win32Loop::Win32Loop()
    : window_([this](UINT message, WPARAM, LPARAM) {
        if (message == kRunPosted) RunPosted();
      }) {}

void Win32Loop::Post(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_.push_back(std::move(fn));
  }
  // If the queue is full the call stays queued and runs with the next wake-up.
  PostMessageW(window_.hwnd(), kRunPosted, 0, 0);
}

void Win32Loop::RunPosted() {
  // One wake-up runs what is queued now; calls posted meanwhile bring their own.
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(posted_);
  }
  for (auto& fn : batch) Guarded(fn);
}

void Win32Loop::PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The outer loop must still see it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    RethrowHandlerError();
  }
  RethrowHandlerError();
}

int RunMessageLoop() {
  MSG msg;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) throw platform::OsError("message loop", GetLastError());
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    RethrowHandlerError();
  }
}

}  // namespace tovren::win32
