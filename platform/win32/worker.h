#pragma once
// Background jobs whose completions run on the user-interface thread.
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/api/loop.h"
#include "platform/win32/loop.h"

namespace tovren::win32 {

// One thread per job. done runs through the loop, like any window message. When work
// throws, done does not run: the exception is raised on the user-interface thread in its
// place. Create it on the user-interface thread.
class Win32Worker : public platform::Worker {
 public:
  Win32Worker();  // completions through a hidden window of its own
  explicit Win32Worker(platform::Loop& loop);
  // Waits for the jobs still running; their completions are then dropped.
  ~Win32Worker() override;
  Win32Worker(const Win32Worker&) = delete;
  Win32Worker& operator=(const Win32Worker&) = delete;

  void Run(std::function<void()> work, std::function<void()> done) override;

 private:
  void Join(int job);
  std::unique_ptr<Win32Loop> ownLoop_;
  platform::Loop& loop_;
  std::mutex mutex_;
  std::map<int, std::thread> threads_;
  int nextJob_ = 1;
  // Completions still queued when the worker is gone see it expired.
  std::shared_ptr<Win32Worker*> alive_;
};

}  // namespace tovren::win32
