#include "platform/win32/timers.h"

#include "platform/api/errors.h"

namespace tovren::win32 {

Win32Timers::Win32Timers()
    : window_([this](UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_TIMER) Tick(static_cast<int>(wParam));
      }) {}

Win32Timers::~Win32Timers() {
  for (auto& entry : timers_) KillTimer(window_.hwnd(), static_cast<UINT_PTR>(entry.first));
}

int Win32Timers::Start(int intervalMs, std::function<void()> tick) {
  int id = nextId_++;
  UINT elapse = intervalMs < 1 ? 1u : static_cast<UINT>(intervalMs);
  if (!SetTimer(window_.hwnd(), static_cast<UINT_PTR>(id), elapse, nullptr))
    throw platform::OsError("start timer", GetLastError());
  auto timer = std::make_shared<Timer>();
  timer->tick = std::move(tick);
  timers_[id] = std::move(timer);
  return id;
}

void Win32Timers::Stop(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  KillTimer(window_.hwnd(), static_cast<UINT_PTR>(id));
  timers_.erase(it);
}

void Win32Timers::Tick(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  // Held here so that the handler may stop its own timer.
  std::shared_ptr<Timer> timer = it->second;
  if (timer->running) return;
  timer->running = true;
  try {
    timer->tick();
  } catch (...) {
    timer->running = false;
    throw;
  }
  timer->running = false;
}

}  // namespace tovren::win32
