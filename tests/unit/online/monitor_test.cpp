// The runtime monitor's life and ticks: the foreground title, the menu, the hot keys, the
// cursor lock and the close.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/api/errors.h"
#include "tests/unit/online/online_fixture.h"

namespace tovren::online {
namespace {

using platform::kVkF4;
using platform::kVkF8;
using platform::kVkF9;
using platform::RectPx;

class MonitorTest : public testing::OnlineTest {
 protected:
  void SetUp() override {
    server.Serve("/ip/ip.asp", "<html><body>8.8.8.8</body></html>", 200, "text/html");
    server.Serve("/za/net/1/1/data.asp", "1.1.1.1\r\n2.2.2.2");
    server.Start();
  }
  void WriteConfig(const std::string& text) {
    std::ofstream(dir.path() / "config.ini", std::ios::binary) << text;
  }
  static std::string Config(const std::string& seventh) {
    return "[Display]\r\nWidth 640\r\nHeight 480\r\nBits 16\r\nRate 60\r\nVSync 1\r\n" + seventh +
           "\r\nSound 1\r\n";
  }
  // The game's window in front.
  platform::Hwnd Game(const std::string& title = "Tovren") {
    platform::Hwnd h = sim.desktop.AddForeignWindow(title, {100, 200, 640, 480});
    sim.desktop.foreground = h;
    return h;
  }
  void Tick(int ms = 600) { sim.timers.Advance(ms); }
  // Option switch 3 on, the windowed game in front, F4 pressed: the pointer is caught.
  void LockOntoTheGame() {
    Switch(3, true);
    if (!Monitor().IsOpen()) Monitor().Create();
    WriteConfig(Config("FullScreen 0"));
    Game();
    sim.keys.Tap(kVkF4);
    Tick();
    sim.timers.Advance(300);
    ASSERT_EQ(sim.desktop.clip, (RectPx{100, 200, 640, 480}));
  }
};

TEST_F(MonitorTest, CreationMakesAHiddenWindowLoadsTheOwnAddressAndStartsTheTimer) {
  Monitor().Create();
  ASSERT_TRUE(Monitor().IsOpen());
  EXPECT_EQ(sim.desktop.WindowTitle(Monitor().hwnd()), "动态");
  EXPECT_FALSE(sim.desktop.IsVisible(Monitor().hwnd()));
  EXPECT_EQ(sim.timers.RunningCount(), 1u);
  EXPECT_FALSE(Monitor().CursorLockOn());
  RunLoads();
  EXPECT_EQ(Monitor().WebIP.BodyText(), "8.8.8.8");
  EXPECT_EQ(server.RequestsTo("/ip/ip.asp").size(), 1u);
}

TEST_F(MonitorTest, TheForegroundTitleIsKeptExceptForItsOwnWindow) {
  Monitor().Create();
  platform::Hwnd notepad = sim.desktop.AddForeignWindow("记事本");
  sim.desktop.foreground = notepad;
  Tick();
  EXPECT_EQ(Monitor().窗口.Text(), "记事本");
  sim.desktop.foreground = Monitor().hwnd();
  Tick();
  EXPECT_EQ(Monitor().窗口.Text(), "记事本");
  sim.desktop.foreground = 0;
  Tick();
  EXPECT_EQ(Monitor().窗口.Text(), "");
}

TEST_F(MonitorTest, TheMenuClosesAsSoonAsItLosesTheForeground) {
  Monitor().Create();
  sim.desktop.foreground = sim.desktop.AddForeignWindow("菜单");
  Tick();
  sim.desktop.foreground = sim.desktop.AddForeignWindow("menu");  // its own backdrop
  Tick();
  EXPECT_EQ(menuCloses, 0);
  sim.desktop.foreground = sim.desktop.AddForeignWindow("Tovren");
  Tick();
  EXPECT_EQ(menuCloses, 1);
}

TEST_F(MonitorTest, F4SwitchesTheLockOnlyWithOptionSwitch3) {
  Monitor().Create();
  sim.keys.Tap(kVkF4);
  Tick();
  EXPECT_FALSE(Monitor().CursorLockOn());  // switch 3 off: the press is used up, nothing else
  Tick();
  Switch(3, true);
  sim.keys.Tap(kVkF4);
  Tick();
  EXPECT_TRUE(Monitor().CursorLockOn());
  EXPECT_EQ(sim.timers.RunningCount(), 2u);
  Switch(3, false);
  sim.keys.Tap(kVkF4);
  Tick();
  EXPECT_TRUE(Monitor().CursorLockOn());  // a lock that is On stays On
  Switch(3, true);
  sim.desktop.clipCalls.clear();
  sim.keys.Tap(kVkF4);
  Tick();
  EXPECT_FALSE(Monitor().CursorLockOn());
  EXPECT_EQ(sim.timers.RunningCount(), 1u);
  ASSERT_FALSE(sim.desktop.clipCalls.empty());
  EXPECT_EQ(sim.desktop.clipCalls.back(), std::nullopt);
  // Held down, the key acts on every tick.
  sim.keys.Hold(kVkF4, true);
  Tick();
  EXPECT_TRUE(Monitor().CursorLockOn());
  Tick();
  EXPECT_FALSE(Monitor().CursorLockOn());
}

TEST_F(MonitorTest, TheLockClipsToTheWindowedGamesClientArea) {
  Switch(3, true);
  Monitor().Create();
  WriteConfig(Config("FullScreen 0"));
  Game();
  Tick();  // 窗口 = "Tovren"
  EXPECT_EQ(sim.desktop.clip, std::nullopt);  // the lock is Off at start-up
  sim.keys.Tap(kVkF4);
  Tick();
  sim.timers.Advance(300);
  EXPECT_EQ(Monitor().配置.Text(), "FullScreen 0");
  EXPECT_EQ(sim.desktop.clip, (RectPx{100, 200, 640, 480}));
  // Another window in front: the clip goes within a tick of each timer.
  sim.desktop.foreground = sim.desktop.AddForeignWindow("QQ");
  sim.timers.Advance(900);
  EXPECT_EQ(sim.desktop.clip, std::nullopt);
}

TEST_F(MonitorTest, TheLockClipsOnlyForTheExactLineAndTitle) {
  struct Case {
    const char* name;
    std::optional<std::string> config;  // nothing: no file
    std::string title;
    bool clips;
  };
  const Case cases[] = {
      {"windowed game", Config("FullScreen 0"), "Tovren", true},
      {"LF line ends", std::string("1\n2\n3\n4\n5\n6\nFullScreen 0"), "Tovren", true},
      {"full screen", Config("FullScreen 1"), "Tovren", false},
      {"title in other case", Config("FullScreen 0"), "tovren", false},
      {"trailing blank", Config("FullScreen 0 "), "Tovren", false},
      {"six lines only", std::string("a\r\nb\r\nc\r\nd\r\ne\r\nFullScreen 0\r\n"), "Tovren", false},
      {"empty file", std::string(""), "Tovren", false},
      {"no file, nothing read yet", std::nullopt, "Tovren", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim::TempDir root;
    sim::SimPlatform p(root.path());
    core::Settings s;
    s.复选框辅助[2].Set("1");
    MonitorOptions o = Options();
    动态 m(p.Get(), s, o);
    m.Create();
    if (c.config) std::ofstream(root.path() / "config.ini", std::ios::binary) << *c.config;
    p.desktop.foreground = p.desktop.AddForeignWindow(c.title, {10, 20, 300, 200});
    p.keys.Tap(kVkF4);
    p.timers.Advance(900);
    ASSERT_TRUE(m.CursorLockOn());
    ASSERT_FALSE(p.desktop.clipCalls.empty());
    if (c.clips) {
      EXPECT_EQ(p.desktop.clip, (RectPx{10, 20, 300, 200}));
    } else {
      EXPECT_EQ(p.desktop.clip, std::nullopt);
    }
    m.Close();
  }
}

TEST_F(MonitorTest, AMissingConfigKeepsTheLastLineReadAndAGoneGameFreesThePointer) {
  Switch(3, true);
  Monitor().Create();
  WriteConfig(Config("FullScreen 0"));
  platform::Hwnd game = Game();
  sim.keys.Tap(kVkF4);
  Tick();
  sim.timers.Advance(300);
  ASSERT_TRUE(sim.desktop.clip.has_value());
  std::filesystem::remove(dir.path() / "config.ini");
  sim.timers.Advance(300);
  EXPECT_EQ(Monitor().配置.Text(), "FullScreen 0");
  EXPECT_TRUE(sim.desktop.clip.has_value());
  // The game closed less than a tick ago: 窗口 still says "Tovren".
  sim.desktop.Destroy(game);
  sim.timers.Advance(300);
  EXPECT_EQ(Monitor().窗口.Text(), "Tovren");
  EXPECT_EQ(sim.desktop.clip, std::nullopt);
}

// A config.ini that exists but cannot be read.
class UnreadableFiles : public sim::SimFiles {
 public:
  using sim::SimFiles::SimFiles;
  platform::Bytes ReadAll(const std::string& path) override {
    throw platform::OsError("read " + path, platform::kErrorAccessDenied);
  }
};

TEST_F(MonitorTest, AnUnreadableConfigMeansNoClip) {
  UnreadableFiles files(dir.path(), "C:\\Game");
  platform::Platform p{files,     sim.resources, sim.processes, sim.registry, *sim.http,
                       sim.desktop, sim.timers,  sim.keys,      sim.loop,     sim.clock,
                       sim.worker,  sim.system};
  settings.复选框辅助[2].Set("1");
  动态 m(p, settings, Options());
  m.Create();
  WriteConfig(Config("FullScreen 0"));
  Game();
  sim.keys.Tap(kVkF4);
  sim.timers.Advance(900);
  ASSERT_TRUE(m.CursorLockOn());
  EXPECT_EQ(m.配置.Text(), "");
  EXPECT_EQ(sim.desktop.clip, std::nullopt);
}

TEST_F(MonitorTest, F8AndF9RunOnlyUnderTheirSwitches) {
  Monitor().Create();
  Monitor().IP.Set("a\r\nb");
  sim.keys.Tap(kVkF8);
  sim.keys.Tap(kVkF9);
  Tick();
  EXPECT_EQ(Monitor().行数.Text(), "0");
  EXPECT_EQ(Monitor().IP.Text(), "a\r\nb");

  Switch(7, true);  // F8 needs switch 6 or 7
  sim.keys.Tap(kVkF8);
  Tick();
  EXPECT_EQ(Monitor().行数.Text(), "2");

  Switch(7, false);
  Switch(6, true);
  sim.keys.Tap(kVkF9);
  Tick();
  EXPECT_EQ(Monitor().IP.Text(), "a\r\nb");  // F9 needs switch 5 as well
  Switch(5, true);
  sim.keys.Tap(kVkF9);
  Tick();
  EXPECT_EQ(Monitor().IP.Text(), "1.1.1.1\r\n2.2.2.2");
}

TEST_F(MonitorTest, AFailedRefreshInsideTheTickIsSilent) {
  Switch(5, true);
  Switch(7, true);  // the second list is not on the server
  Monitor().Create();
  Monitor().IP.Set("old");
  sim.keys.Tap(kVkF9);
  Tick();
  EXPECT_EQ(Monitor().IP.Text(), "old");
  EXPECT_TRUE(sim.desktop.messages.empty());
  EXPECT_EQ(sim.timers.RunningCount(), 1u);  // and the timer goes on
  Tick();
  EXPECT_EQ(menuCloses, 2);
}

TEST_F(MonitorTest, AFailedF8IsToldAfterItsTickAndTheTimersGoOnUnderTheBox) {
  Switch(5, true);
  Switch(6, true);
  sim.processes.onStart = [](const platform::Program& program, int) {
    throw platform::OsError("start " + program.file, platform::kErrorFileNotFound);
  };
  LockOntoTheGame();

  Monitor().IP.Set("a");
  Monitor().行数.Set("1");
  sim.keys.Tap(kVkF8);
  Tick();
  EXPECT_TRUE(sim.desktop.messages.empty());  // not inside the tick
  // The box runs its own loop: the ticks go on under it.
  sim.desktop.whileMessage = [&](const sim::SimDesktop::Box&) {
    sim.desktop.whileMessage = nullptr;
    Monitor().行数.Set("1");
    sim.keys.Tap(kVkF8);  // fails again: told after this box, not on top of it
    Tick();
    sim.keys.Tap(kVkF9);
    Tick();
    sim.keys.Tap(kVkF4);  // and the pointer can be set free
    Tick();
    sim.timers.Advance(300);
  };
  sim.loop.RunUntilIdle();
  ASSERT_EQ(sim.desktop.messages.size(), 2u);
  EXPECT_EQ(sim.desktop.messages[0].title, core::kMessageTitle);
  EXPECT_EQ(sim.desktop.messages[1].text, sim.desktop.messages[0].text);
  EXPECT_EQ(sim.desktop.mostOpenMessages, 1);
  EXPECT_EQ(Monitor().IP.Text(), "1.1.1.1\r\n2.2.2.2");
  EXPECT_FALSE(Monitor().CursorLockOn());
  EXPECT_EQ(sim.desktop.clip, std::nullopt);
}

TEST_F(MonitorTest, ACursorTickThatFailsSetsThePointerFree) {
  LockOntoTheGame();
  sim.desktop.onLookUp = [](const std::string& call) {
    if (call == "ClientRectOnScreen") throw platform::OsError("client rectangle", 1400);
  };
  sim.timers.Advance(300);
  EXPECT_EQ(sim.desktop.clip, std::nullopt);
  sim.desktop.onLookUp = nullptr;
  sim.timers.Advance(300);  // the lock goes on
  EXPECT_EQ(sim.desktop.clip, (RectPx{100, 200, 640, 480}));
}

TEST_F(MonitorTest, ATickArrivingDuringTheWaitsOfATickIsDropped) {
  Switch(6, true);
  Monitor().Create();
  Monitor().IP.Set("a");
  sim.keys.Hold(kVkF8, true);
  int nested = 0;
  // The waits let the loop run, and with it the timers.
  sim.clock.onSleep = [&](int) {
    ++nested;
    if (nested < 50) sim.timers.Advance(600);
  };
  Tick();  // counting press
  Tick();  // applying press: waits, during which more ticks fall due
  EXPECT_EQ(Monitor().行数.Text(), "0");
  EXPECT_EQ(Monitor().IP_1.Text(), "a");
}

TEST_F(MonitorTest, CloseEndsEveryIpToolAndFreesThePointer) {
  sim.processes.running = {{11, "zarnu_ip.exe"}, {12, "ZARNU_IP.EXE"}, {13, "Zarnu_Ip.exe"},
                           {14, "zarnu_ip.exe.bak"}, {15, "Tovren.exe"}};
  Switch(3, true);
  Monitor().Create();
  sim.keys.Tap(kVkF4);
  Tick();
  ASSERT_EQ(sim.timers.RunningCount(), 2u);
  Monitor().Close();
  EXPECT_EQ(sim.processes.terminated, (std::vector<std::uint32_t>{11, 12, 13}));
  EXPECT_EQ(sim.desktop.clipCalls.back(), std::nullopt);
  EXPECT_EQ(sim.timers.RunningCount(), 0u);
  EXPECT_FALSE(Monitor().IsOpen());
  EXPECT_EQ(sim.desktop.FindOurTopLevel("动态"), 0u);
  Monitor().Close();  // a second close does nothing
  EXPECT_EQ(sim.processes.terminated.size(), 3u);
}

}  // namespace
}  // namespace tovren::online
