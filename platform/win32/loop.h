#pragma once
// The user-interface thread's loop and time on Windows.
#include "platform/win32/windows_api.h"

#include <deque>
#include <functional>
#include <mutex>

#include "platform/api/loop.h"
#include "platform/win32/message_window.h"

namespace tovren::win32 {

// Create it on the user-interface thread: posted calls run on the thread that created it.
// Post may be called from any thread.
class Win32Loop : public platform::Loop {
 public:
  Win32Loop();
  // Hands every waiting message to its window, then returns. A WM_QUIT met on the way is
  // put back for the outer loop. Rethrows the first exception a handler raised meanwhile.
  void PumpPending() override;
  void Post(std::function<void()> fn) override;
  void Quit() override { PostQuitMessage(0); }

 private:
  void RunPosted();
  std::mutex mutex_;
  std::deque<std::function<void()>> posted_;
  MessageWindow window_;
};

class Win32Clock : public platform::Clock {
 public:
  void Sleep(int ms) override { ::Sleep(ms < 0 ? 0 : static_cast<DWORD>(ms)); }
  std::uint64_t NowMs() override { return GetTickCount64(); }
};

// The loop of the whole program: GetMessage until WM_QUIT, whose code it returns.
// Rethrows an exception a handler raised (after the message that raised it).
int RunMessageLoop();

}  // namespace tovren::win32
