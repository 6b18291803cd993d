#pragma once
// The online services over the simulated platform, talking to a real server in the test.
#include <gtest/gtest.h>

#include <memory>

#include "core/settings.h"
#include "online/monitor.h"
#include "online/submitter.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/online/test_server.h"

namespace tovren::online::testing {

// A stand-in for the IP tool, as the driver sees it: its main window with the start button
// and the address box, and the "point" box each start press shows until confirmed.
class SimIpTool {
 public:
  explicit SimIpTool(sim::SimDesktop& desktop) : d_(desktop) {}
  void Launch() {
    main = d_.AddForeignWindow("zarnu_ip");
    start = d_.AddForeignChild(main, "start");
    box = d_.AddForeignChild(main, "255.255.255.255");
  }
  void Quit() {
    if (main) d_.Destroy(main);
    if (point) d_.Destroy(point);
    main = start = box = point = confirm = 0;
  }
  // Wire into SimDesktop::onPost.
  void OnPost(const sim::SimDesktop::Message& m) {
    if (m.message != 0x0202 || m.lParam != 0x10001) return;
    if (m.window == start && start) {
      started.push_back(d_.GetText(box));
      if (showsPoint && !point) {
        point = lastPoint = d_.AddForeignWindow("point");
        confirm = lastConfirm = d_.AddForeignChild(point, "确定");
      }
    } else if (m.window == confirm && confirm) {
      ++confirms;
      d_.Destroy(point);
      point = confirm = 0;
    }
  }

  platform::Hwnd main = 0, start = 0, box = 0, point = 0, confirm = 0;
  platform::Hwnd lastPoint = 0, lastConfirm = 0;
  bool showsPoint = true;
  std::vector<std::string> started;  // the address box's text at every start press
  int confirms = 0;

 private:
  sim::SimDesktop& d_;
};

class OnlineTest : public ::testing::Test {
 protected:
  OnlineTest() { sim.resources.AddLauncherBitmaps(); }

  MonitorOptions Options() {
    MonitorOptions o;
    o.webHost = server.Host();
    o.closeMenu = [this] { ++menuCloses; };
    o.limits.connectTimeoutMs = 2000;
    o.limits.totalTimeoutMs = 4000;
    return o;
  }
  动态& Monitor() {
    if (!monitor) monitor = std::make_unique<动态>(sim.Get(), settings, Options());
    return *monitor;
  }
  void Switch(int number, bool on) { settings.复选框辅助[static_cast<size_t>(number - 1)].Set(on ? "1" : "0"); }
  // Lets every background load finish and its completion run, as the idle loop would.
  void RunLoads() {
    for (int i = 0; i < 10 && (sim.worker.Pending() > 0); ++i) {
      sim.worker.RunAll();
      sim.loop.RunUntilIdle();
    }
    sim.loop.RunUntilIdle();
  }

  sim::TempDir dir;
  sim::SimPlatform sim{dir.path()};
  core::Settings settings;
  TestServer server;
  int menuCloses = 0;
  std::unique_ptr<动态> monitor;
};

}  // namespace tovren::online::testing
