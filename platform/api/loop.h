#pragma once
// The user-interface thread's event loop, time and the one background worker.
#include <cstdint>
#include <functional>

namespace tovren::platform {

class Loop {
 public:
  virtual ~Loop() = default;
  // Hands the events waiting now to their handlers, then returns (fade frames call it).
  virtual void PumpPending() = 0;
  // Runs fn later on the user-interface thread, like any window message.
  virtual void Post(std::function<void()> fn) = 0;
  // Ends the event loop once the current handler returns.
  virtual void Quit() = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Blocks the calling thread.
  virtual void Sleep(int ms) = 0;
  virtual std::uint64_t NowMs() = 0;
};

class Worker {
 public:
  virtual ~Worker() = default;
  // Runs work on a background thread, then done on the user-interface thread.
  virtual void Run(std::function<void()> work, std::function<void()> done) = 0;
};

}  // namespace tovren::platform
