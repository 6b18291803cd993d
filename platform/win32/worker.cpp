#include "platform/win32/worker.h"

#include <exception>
#include <vector>

namespace tovren::win32 {

Win32Worker::Win32Worker()
    : ownLoop_(std::make_unique<Win32Loop>()), loop_(*ownLoop_),
      alive_(std::make_shared<Win32Worker*>(this)) {}

Win32Worker::Win32Worker(platform::Loop& loop)
    : loop_(loop), alive_(std::make_shared<Win32Worker*>(this)) {}

Win32Worker::~Win32Worker() {
  alive_.reset();
  std::map<int, std::thread> threads;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    threads.swap(threads_);
  }
  for (auto& entry : threads)
    if (entry.second.joinable()) entry.second.join();
}

void Win32Worker::Run(std::function<void()> work, std::function<void()> done) {
  std::weak_ptr<Win32Worker*> alive = alive_;
  platform::Loop* loop = &loop_;
  std::lock_guard<std::mutex> lock(mutex_);
  int job = nextJob_++;
  threads_[job] = std::thread([loop, alive, job, work = std::move(work),
                               done = std::move(done)]() mutable {
    std::exception_ptr error;
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    loop->Post([alive, job, error, done = std::move(done)] {
      auto self = alive.lock();
      if (!self) return;
      (*self)->Join(job);
      if (error) std::rethrow_exception(error);
      if (done) done();
    });
  });
}

void Win32Worker::Join(int job) {
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = threads_.find(job);
    if (it == threads_.end()) return;
    thread = std::move(it->second);
    threads_.erase(it);
  }
  // The job posted its completion as its last step, so this wait is short.
  if (thread.joinable()) thread.join();
}

}  // namespace tovren::win32
