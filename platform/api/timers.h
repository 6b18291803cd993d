#pragma once
// Periodic timers and the asynchronous key state.
#include <functional>

namespace tovren::platform {

class Timers {
 public:
  virtual ~Timers() = default;
  // Calls tick every intervalMs on the user-interface thread until stopped. Returns an id.
  virtual int Start(int intervalMs, std::function<void()> tick) = 0;
  virtual void Stop(int id) = 0;
};

class Keys {
 public:
  virtual ~Keys() = default;
  // The key is down now or was pressed since the previous query (GetAsyncKeyState != 0).
  virtual bool WasPressed(int virtualKey) = 0;
};

inline constexpr int kVkF4 = 0x73;
inline constexpr int kVkF8 = 0x77;
inline constexpr int kVkF9 = 0x78;

}  // namespace tovren::platform
