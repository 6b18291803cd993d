// The F8 driver: the countdown over the address list and the IP tool driven by window
// messages, against a simulated IP tool.
#include <gtest/gtest.h>

#include <numeric>

#include "platform/api/errors.h"
#include "tests/unit/online/online_fixture.h"

namespace tovren::online {
namespace {

using testing::SimIpTool;

const std::string kToolFile = "C:\\Game\\zarnu\\zarnu_ip.exe";
const std::string kToolCommand = "\"" + kToolFile + "\"";

class DriverTest : public testing::OnlineTest {
 protected:
  DriverTest() : tool(sim.desktop) {
    sim.desktop.onPost = [this](const sim::SimDesktop::Message& m) { tool.OnPost(m); };
    sim.processes.onStart = [this](const platform::Program& program, int) {
      if (program.file == kToolFile && launchOnStart) tool.Launch();
    };
    server.Start();
  }
  int SleptMs() const {
    return std::accumulate(sim.clock.sleeps.begin(), sim.clock.sleeps.end(), 0);
  }
  std::vector<sim::SimDesktop::Message> PostsTo(platform::Hwnd h) const {
    std::vector<sim::SimDesktop::Message> out;
    for (const auto& m : sim.desktop.posted)
      if (m.window == h) out.push_back(m);
    return out;
  }

  SimIpTool tool;
  bool launchOnStart = true;
};

TEST_F(DriverTest, APassWalksTheListBackwardsAfterACountingPress) {
  Monitor().IP.Set("a\r\nb\r\nc");
  struct Step {
    std::string counter, applied;
  };
  const Step steps[] = {{"3", ""}, {"2", "c"}, {"1", "b"}, {"0", "a"}, {"3", "a"}, {"2", "c"}};
  for (const auto& step : steps) {
    Monitor().ApplyNextIp();
    EXPECT_EQ(Monitor().行数.Text(), step.counter);
    EXPECT_EQ(Monitor().IP_1.Text(), step.applied);
  }
  EXPECT_EQ(tool.started, (std::vector<std::string>{"c", "b", "a", "c"}));
  EXPECT_EQ(tool.confirms, 4);
  ASSERT_EQ(sim.processes.runs.size(), 1u);  // started once, by the first applying press
  EXPECT_EQ(sim.processes.runs[0].file, kToolFile);  // started as that file, never looked up
  EXPECT_EQ(sim.processes.runs[0].commandLine, kToolCommand);
  EXPECT_EQ(sim.processes.runs[0].showCode, 0);
}

TEST_F(DriverTest, TheToolGetsTheAddressThenAClickOnStartThenOnConfirm) {
  Monitor().IP.Set("9.9.9.9");
  Monitor().ApplyNextIp();
  sim.desktop.posted.clear();
  sim.clock.sleeps.clear();
  Monitor().ApplyNextIp();
  ASSERT_EQ(sim.desktop.sentTexts.size(), 1u);
  EXPECT_EQ(sim.desktop.sentTexts[0], std::make_pair(tool.box, std::string("9.9.9.9")));
  auto clicks = sim.desktop.posted;
  ASSERT_EQ(clicks.size(), 4u);
  EXPECT_EQ(clicks[0].window, tool.start);
  EXPECT_EQ(clicks[0].message, 0x0201u);
  EXPECT_EQ(clicks[1].message, 0x0202u);
  EXPECT_EQ(clicks[2].window, tool.lastConfirm);
  for (const auto& m : clicks) {
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_EQ(m.lParam, 0x10001);
  }
  EXPECT_EQ(sim.clock.sleeps, (std::vector<int>{100, 100, 100}));
  // The handles as decimal text.
  EXPECT_EQ(Monitor().句柄[0].Text(), std::to_string(tool.main));
  EXPECT_EQ(Monitor().句柄[1].Text(), std::to_string(tool.start));
  EXPECT_EQ(Monitor().句柄[2].Text(), std::to_string(tool.box));
  EXPECT_EQ(Monitor().句柄[3].Text(), std::to_string(tool.lastPoint));
  EXPECT_EQ(Monitor().句柄[4].Text(), std::to_string(tool.lastConfirm));
}

TEST_F(DriverTest, ARunningToolIsReusedWithItsStoredHandles) {
  Monitor().IP.Set("a\r\nb");
  Monitor().ApplyNextIp();
  Monitor().ApplyNextIp();
  // The tool now shows "b", not its start text; the stored handles still reach it.
  Monitor().ApplyNextIp();
  EXPECT_EQ(tool.started, (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(sim.processes.runs.size(), 1u);
}

TEST_F(DriverTest, AToolStartedByOthersOrRestartedIsLookedUpAgain) {
  tool.Launch();  // already running, handles still "0"
  Monitor().IP.Set("a\r\nb\r\nc");
  Monitor().ApplyNextIp();
  Monitor().ApplyNextIp();
  EXPECT_EQ(tool.started, (std::vector<std::string>{"c"}));
  EXPECT_TRUE(sim.processes.runs.empty());
  tool.Quit();
  tool.Launch();  // a new instance: the stored handles are stale
  Monitor().ApplyNextIp();
  EXPECT_EQ(tool.started, (std::vector<std::string>{"c", "b"}));
  EXPECT_EQ(Monitor().句柄[2].Text(), std::to_string(tool.box));
}

TEST_F(DriverTest, ASlowToolIsWaitedForBoundedly) {
  launchOnStart = false;
  int slept = 0;
  sim.clock.onSleep = [&](int ms) {
    slept += ms;
    if (slept == 1200 && !tool.main) tool.Launch();
  };
  Monitor().IP.Set("a");
  Monitor().ApplyNextIp();
  Monitor().ApplyNextIp();
  EXPECT_EQ(tool.started, (std::vector<std::string>{"a"}));
  EXPECT_EQ(tool.confirms, 1);
}

TEST_F(DriverTest, AToolThatNeverAppearsGetsNothingAndThePressEnds) {
  launchOnStart = false;
  Monitor().IP.Set("a");
  Monitor().ApplyNextIp();
  Monitor().ApplyNextIp();
  EXPECT_TRUE(sim.desktop.sentTexts.empty());
  EXPECT_TRUE(sim.desktop.posted.empty());  // nothing posted to no window
  EXPECT_LE(SleptMs(), 3000 + 300 + 1000 + 100);
  for (const auto& h : Monitor().句柄) EXPECT_EQ(h.Text(), "0");
}

TEST_F(DriverTest, WithoutThePointBoxNothingElseIsClicked) {
  tool.showsPoint = false;
  platform::Hwnd stray = sim.desktop.AddForeignWindow("确定");
  Monitor().IP.Set("a");
  Monitor().ApplyNextIp();
  Monitor().ApplyNextIp();
  EXPECT_EQ(tool.started, (std::vector<std::string>{"a"}));
  EXPECT_EQ(sim.desktop.posted.size(), 2u);  // the start button's click only
  EXPECT_TRUE(PostsTo(stray).empty());
  EXPECT_EQ(Monitor().句柄[3].Text(), "0");
  EXPECT_EQ(Monitor().句柄[4].Text(), "0");
}

TEST_F(DriverTest, AHungToolDoesNotHoldThePress) {
  tool.Launch();
  sim.desktop.onSendText = [](platform::Hwnd, const std::string&) { return false; };
  Monitor().IP.Set("a");
  Monitor().ApplyNextIp();
  Monitor().ApplyNextIp();
  EXPECT_EQ(Monitor().IP_1.Text(), "a");
  EXPECT_EQ(PostsTo(tool.start).size(), 2u);
}

TEST_F(DriverTest, ListEdgeCases) {
  // An empty list counts as one line: the press after the counting one types "".
  Monitor().IP.Set("");
  Monitor().ApplyNextIp();
  EXPECT_EQ(Monitor().行数.Text(), "1");
  Monitor().ApplyNextIp();
  EXPECT_EQ(tool.started, (std::vector<std::string>{""}));

  // A list replaced by a shorter one in the middle of a pass: the pass goes on from the
  // new last line, not with empty addresses.
  Monitor().IP.Set("a\r\nb\r\nc\r\nd\r\ne");
  Monitor().行数.Set("0");
  Monitor().ApplyNextIp();
  Monitor().ApplyNextIp();  // e
  Monitor().IP.Set("x\r\ny");
  Monitor().ApplyNextIp();
  EXPECT_EQ(Monitor().行数.Text(), "1");
  EXPECT_EQ(Monitor().IP_1.Text(), "y");

  // A longer list in the middle of a pass: the pass continues from the old counter.
  Monitor().IP.Set("p\r\nq\r\nr\r\ns");
  Monitor().ApplyNextIp();
  EXPECT_EQ(Monitor().IP_1.Text(), "p");
  EXPECT_EQ(Monitor().行数.Text(), "0");

  // Counters no press writes: a huge one applies the last line, a negative one counts.
  Monitor().行数.Set("99999999999999999999999");
  Monitor().ApplyNextIp();
  EXPECT_EQ(Monitor().IP_1.Text(), "s");
  Monitor().行数.Set("-5");
  Monitor().ApplyNextIp();
  EXPECT_EQ(Monitor().行数.Text(), "4");
}

TEST_F(DriverTest, AToolThatCannotStartIsAMessageForThePlayer) {
  sim.processes.onStart = [](const platform::Program& program, int) {
    throw platform::OsError("start " + program.file, platform::kErrorFileNotFound);
  };
  Monitor().IP.Set("a");
  Monitor().ApplyNextIp();
  try {
    Monitor().ApplyNextIp();
    FAIL() << "no error";
  } catch (const core::UserError& e) {
    EXPECT_NE(e.message().find("IP直连工具"), std::string::npos);
  }
  EXPECT_TRUE(sim.desktop.posted.empty());
}

}  // namespace
}  // namespace tovren::online
