// The simulated platform is what every host test stands on; these pin the behaviour the
// tests rely on where the real system would behave the same way.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/api/codepage.h"
#include "platform/sim/sim_platform.h"

namespace tovren::sim {
namespace {

using platform::kLeftButton;

TEST(SimCodePage, RoundTripsChineseThroughGbk) {
  const std::string text = "本文件由程序自动生成，请勿手动修改！";
  std::string gbk = platform::Utf8ToGbk(text);
  EXPECT_EQ(gbk.size(), text.size() / 3 * 2);  // two bytes per character in GBK
  EXPECT_EQ(platform::GbkToUtf8(gbk), text);
  EXPECT_EQ(platform::Utf8ToGbk("版本"), "\xB0\xE6\xB1\xBE");
}

TEST(SimCodePage, ReplacesWhatCannotBeConverted) {
  EXPECT_EQ(platform::Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji has no GBK form
  EXPECT_EQ(platform::GbkToUtf8("a\x81"), "a\xEF\xBF\xBD");         // truncated lead byte
}

TEST(SimFiles, MapsWindowsPathsAndKeepsAttributes) {
  TempDir dir;
  SimFiles files(dir.path(), "C:\\Game");
  files.CreateFolder("zarnu");
  files.WriteWhole("C:\\Game\\zarnu\\a.txt", {'1', '2', '3', '4'});
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "zarnu" / "a.txt"));
  files.WriteAt("zarnu\\a.txt", 1, {'x'});
  EXPECT_EQ(files.ReadAll("zarnu\\a.txt"), (platform::Bytes{'1', 'x', '3', '4'}));
  EXPECT_THROW(files.WriteAt("missing.bin", 0, {'x'}), platform::OsError);
  EXPECT_FALSE(files.Stat("missing.bin"));

  files.SetAttributes("zarnu\\a.txt", true, false);
  EXPECT_TRUE(files.Stat("zarnu\\a.txt")->hidden);
  EXPECT_FALSE(files.IsNormalFile("zarnu\\a.txt"));
  EXPECT_FALSE(files.IsNormalFile("zarnu"));

  files.FailWrites("zarnu\\");
  EXPECT_THROW(files.WriteWhole("zarnu\\b.txt", {}), platform::OsError);
}

TEST(SimTimers, FireInTimeOrderAndMayStopThemselves) {
  SimClock clock;
  SimTimers timers(clock);
  std::vector<std::string> ticks;
  int fast = 0;
  fast = timers.Start(300, [&] {
    ticks.push_back("300@" + std::to_string(clock.NowMs()));
    if (clock.NowMs() >= 900) timers.Stop(fast);
  });
  timers.Start(600, [&] { ticks.push_back("600@" + std::to_string(clock.NowMs())); });
  timers.Advance(1200);
  EXPECT_EQ(ticks, (std::vector<std::string>{"300@300", "300@600", "600@600", "300@900",
                                             "600@1200"}));
  EXPECT_EQ(clock.NowMs(), 1200u);
}

struct Recorder : platform::WindowEvents {
  std::vector<std::string> events;
  void OnMouseMove(Hwnd c, int b, int x, int y) override {
    events.push_back("move " + std::to_string(c) + " " + std::to_string(b) + " " +
                     std::to_string(x) + "," + std::to_string(y));
  }
  void OnMouseDown(Hwnd c, int b, int, int) override {
    events.push_back("down " + std::to_string(c) + " " + std::to_string(b));
  }
  void OnClick(Hwnd c) override { events.push_back("click " + std::to_string(c)); }
  void OnTextChanged(Hwnd c) override { events.push_back("text " + std::to_string(c)); }
};

TEST(SimDesktop, CaptureRoutesMovesAndLosingItCancelsTheClick) {
  SimDesktop desktop;
  Recorder rec;
  Hwnd win = desktop.CreateTopLevel(platform::WindowSpec{.title = "w", .rect = {100, 100, 300, 200}}, &rec);
  Hwnd a = desktop.CreateControl({platform::ControlKind::Picture, win, {10, 10, 50, 20}, "", ""}, &rec);
  Hwnd b = desktop.CreateControl({platform::ControlKind::Picture, win, {100, 10, 50, 20}, "", ""}, &rec);
  desktop.SetCapture(a);
  desktop.MouseMove(b, 0, 5, 5);  // over b, but a holds the capture
  EXPECT_EQ(rec.events.back(), "move " + std::to_string(a) + " 0 95,5");

  desktop.Press(a);
  EXPECT_EQ(rec.events.back(), "click " + std::to_string(a));

  desktop.MouseDown(a, kLeftButton);
  desktop.ReleaseCapture();
  desktop.LeftUp(a);
  EXPECT_EQ(rec.events.back(), "down " + std::to_string(a) + " 1");
}

TEST(SimDesktop, TypingHonoursTheLimitAndReplacesASelection) {
  SimDesktop desktop;
  Recorder rec;
  Hwnd win = desktop.CreateTopLevel(platform::WindowSpec{.title = "w", .rect = {0, 0, 100, 100}}, &rec);
  Hwnd edit = desktop.CreateControl({platform::ControlKind::Edit, win, {0, 0, 40, 16}, "", "50"}, &rec);
  desktop.SetTextLimit(edit, 2);
  desktop.Type(edit, "1");
  EXPECT_EQ(desktop.GetText(edit), "50");
  desktop.SetSelection(edit, 0, 2);
  desktop.Type(edit, "789");
  EXPECT_EQ(desktop.GetText(edit), "78");
}

}  // namespace
}  // namespace tovren::sim
