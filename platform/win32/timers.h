#pragma once
// Periodic timers on the user-interface thread and the asynchronous key state.
#include "platform/win32/windows_api.h"

#include <functional>
#include <map>
#include <memory>

#include "platform/api/timers.h"
#include "platform/win32/message_window.h"

namespace tovren::win32 {

// Create it on the user-interface thread; ticks arrive through its hidden window.
// A tick that falls due while the same timer's previous tick still runs (its handler
// pumping messages) is dropped instead of nesting.
class Win32Timers : public platform::Timers {
 public:
  Win32Timers();
  ~Win32Timers() override;
  // Throws OsError when the system has no timer left.
  int Start(int intervalMs, std::function<void()> tick) override;
  void Stop(int id) override;

 private:
  struct Timer {
    std::function<void()> tick;
    bool running = false;
  };
  void Tick(int id);
  std::map<int, std::shared_ptr<Timer>> timers_;
  int nextId_ = 1;  // never reused: a stale WM_TIMER of a stopped timer finds nothing
  MessageWindow window_;
};

class Win32Keys : public platform::Keys {
 public:
  bool WasPressed(int virtualKey) override { return GetAsyncKeyState(virtualKey) != 0; }
};

}  // namespace tovren::win32
