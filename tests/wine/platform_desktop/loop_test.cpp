// The loop, posted calls, timers, the worker and the key state.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/win32/loop.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/timers.h"
#include "platform/win32/worker.h"
#include "test_support.h"

namespace tovren::win32 {
namespace {

using namespace test;

TEST(LoopTest, PostedCallsRunInOrderOnTheUserInterfaceThread) {
  Win32Loop loop;
  const auto ui = std::this_thread::get_id();
  std::vector<int> order;
  std::atomic<int> wrongThread{0};
  std::thread other([&] {
    for (int i = 0; i < 50; ++i)
      loop.Post([&, i] {
        if (std::this_thread::get_id() != ui) ++wrongThread;
        order.push_back(i);
      });
  });
  other.join();
  EXPECT_TRUE(order.empty()) << "nothing runs until the loop pumps";
  ASSERT_TRUE(PumpUntil([&] { return order.size() == 50; }));
  for (int i = 0; i < 50; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i);
  EXPECT_EQ(wrongThread, 0);
}

TEST(LoopTest, QuitEndsTheMessageLoopEvenAfterANestedPump) {
  Win32Loop loop;
  bool after = false;
  loop.Post([&] {
    loop.Quit();
    loop.PumpPending();  // a fade frame after the quit: the quit must survive it
    after = true;
  });
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_TRUE(after);
}

TEST(LoopTest, AHandlerErrorComesOutOfTheLoopAndIsNotLost) {
  Win32Loop loop;
  bool second = false;
  loop.Post([] { throw std::runtime_error("handler failed"); });
  loop.Post([&] { second = true; });
  EXPECT_THROW(loop.PumpPending(), std::runtime_error);
  loop.PumpPending();
  EXPECT_TRUE(second) << "the calls after it still run";
  EXPECT_NO_THROW(loop.PumpPending());

  loop.Post([] { throw std::logic_error("in the main loop"); });
  EXPECT_THROW(RunMessageLoop(), std::logic_error);
}

TEST(ClockTest, SleepsAndCounts) {
  Win32Clock clock;
  auto before = clock.NowMs();
  clock.Sleep(60);
  EXPECT_GE(clock.NowMs() - before, 40u);
}

TEST(TimersTest, TickUntilStopped) {
  Win32Timers timers;
  int ticks = 0;
  int id = timers.Start(20, [&] { ++ticks; });
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  timers.Stop(id);
  int stopped = ticks;
  PumpFor(120);
  EXPECT_EQ(ticks, stopped);
  timers.Stop(id);  // twice is harmless
}

TEST(TimersTest, TwoTimersAndATickThatStopsItself) {
  Win32Timers timers;
  int fast = 0, once = 0;
  int onceId = 0;
  int fastId = timers.Start(15, [&] { ++fast; });
  onceId = timers.Start(30, [&] {
    ++once;
    timers.Stop(onceId);
  });
  ASSERT_TRUE(PumpUntil([&] { return fast >= 8; }));
  EXPECT_EQ(once, 1);
  timers.Stop(fastId);
  EXPECT_NE(fastId, onceId);
}

TEST(TimersTest, ATickThatPumpsIsNotReentered) {
  Win32Timers timers;
  int depth = 0, deepest = 0, ticks = 0;
  int id = timers.Start(10, [&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    if (ticks == 1) PumpFor(150);  // like a wait inside a handler
    --depth;
  });
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  timers.Stop(id);
  EXPECT_EQ(deepest, 1);
}

TEST(WorkerTest, WorkRunsElsewhereAndItsCompletionOnTheLoop) {
  Win32Loop loop;
  Win32Worker worker(loop);
  const auto ui = std::this_thread::get_id();
  std::thread::id workThread, doneThread;
  bool done = false;
  worker.Run([&] { workThread = std::this_thread::get_id(); },
             [&] {
               doneThread = std::this_thread::get_id();
               done = true;
             });
  ASSERT_TRUE(PumpUntil([&] { return done; }));
  EXPECT_NE(workThread, ui);
  EXPECT_EQ(doneThread, ui);
}

TEST(WorkerTest, DefaultWorkerAndFailingWork) {
  Win32Worker worker;  // its own hidden window
  bool done = false;
  worker.Run([] { throw std::runtime_error("page load failed"); }, [&] { done = true; });
  bool raised = false;
  for (int i = 0; i < 200 && !raised; ++i) {
    try {
      PumpFor(10);
    } catch (const std::runtime_error& e) {
      raised = std::string(e.what()) == "page load failed";
    }
  }
  EXPECT_TRUE(raised) << "the failure reaches the user-interface thread";
  EXPECT_FALSE(done);
}

TEST(WorkerTest, DestroyingTheWorkerWaitsForItsJobsAndDropsTheirCompletions) {
  Win32Loop loop;
  std::atomic<bool> finished{false};
  bool done = false;
  {
    Win32Worker worker(loop);
    worker.Run([&] {
      Sleep(100);
      finished = true;
    }, [&] { done = true; });
  }
  EXPECT_TRUE(finished);
  PumpFor(50);
  EXPECT_FALSE(done);
}

TEST(KeysTest, SeesAKeyPressedSinceTheLastQuery) {
  Win32Keys keys;
  keys.WasPressed(platform::kVkF9);  // forget earlier presses
  EXPECT_FALSE(keys.WasPressed(platform::kVkF9));
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = platform::kVkF9;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &input[0], sizeof(INPUT));
  PumpFor(30);
  EXPECT_TRUE(keys.WasPressed(platform::kVkF9)) << "held";
  SendInput(1, &input[1], sizeof(INPUT));
  PumpFor(30);
  keys.WasPressed(platform::kVkF9);
  EXPECT_FALSE(keys.WasPressed(platform::kVkF9)) << "released and seen";
}

}  // namespace
}  // namespace tovren::win32

namespace tovren::win32 {
namespace {

TEST(PlatformTest, HandsOutItsOwnServicesAndRunsTheLoopUntilQuit) {
  Win32Platform real;
  platform::Platform p = real.Get();
  EXPECT_EQ(&p.desktop, &real.desktop);
  EXPECT_EQ(&p.loop, &real.loop);
  EXPECT_EQ(&p.worker, &real.worker);
  EXPECT_EQ(&p.files, &real.files);
  EXPECT_EQ(&p.system, &real.system);

  // A job's completion arrives through the program's loop, which then ends on Quit.
  bool done = false;
  p.worker.Run([] {}, [&] {
    done = true;
    p.loop.Quit();
  });
  EXPECT_EQ(real.RunMessageLoop(), 0);
  EXPECT_TRUE(done);
}

}  // namespace
}  // namespace tovren::win32
