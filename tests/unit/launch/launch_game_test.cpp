// The start press as a whole, from the press handler to the started config tool, on a
// real temporary game folder with simulated packs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "core/user_error.h"
#include "launch/launch_game.h"
#include "launch/press_handler.h"
#include "platform/api/errors.h"
#include "tests/unit/launch/game_fixture.h"

namespace tovren::launch {
namespace {

using platform::Bytes;
using namespace testing;

class StartPress : public ::testing::Test {
 protected:
  sim::TempDir dir;
  sim::SimPlatform p{dir.path()};
  std::vector<std::string> log;  // host, packs, registry, starts and online, in order
  LoggingRegistry registry{p.registry, &log};
  LaunchServices services{p.files, p.resources, p.processes, registry, p.system};
  core::Settings settings;
  FakeHost host{&log};
  FakeOnline online{&log};
  GameLauncher launcher{services, settings, host, online};
  PressHandler handler{settings, host, launcher};
  FakePacks packs{p};

  void SetUp() override {
    AddPayloadResources(p.resources);
    packs.log = &log;
    p.processes.onStart = [this](const platform::Program& program, int show) {
      log.push_back("start " + program.commandLine + " " + std::to_string(show));
    };
  }
  void PressStart() { handler.OnPress(kStartButton, platform::kLeftButton); }
  bool Exists(const std::string& name) { return p.files.Stat(name).has_value(); }
  Bytes Read(const std::string& name) { return p.files.ReadAll(name); }
  std::size_t IndexOf(const std::string& event) {
    auto it = std::find(log.begin(), log.end(), event);
    EXPECT_NE(it, log.end()) << "missing event " << event;
    return static_cast<std::size_t>(it - log.begin());
  }
  // The first file write of the launcher to name, as an index into the files log.
  std::vector<std::string> FileWrites() {
    std::vector<std::string> out;
    for (const auto& entry : p.files.log()) out.push_back(entry.substr(0, entry.find('@')));
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
  }
};

TEST_F(StartPress, PreparesAnEmptyGameFolderAndStartsTheConfigTool) {
  settings.版本编号.Set("2");
  settings.复选框辅助[0].Set("1");
  settings.血量[0].Set("99");
  PressStart();

  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(log, (std::vector<std::string>{
                     "picture 2 ojb1803",
                     "hide",
                     "status 正在安装游戏…",
                     "run VSN/2",
                     "status 正在写入游戏设置…",
                     "status 正在安装游戏…",
                     "run SOE/ON",
                     "status 正在写入游戏设置…",
                     "reg HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren\\Path=C:\\Game\\",
                     "reg HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren\\Exe=C:\\Game\\tovren.exe",
                     "status 正在安装游戏…",
                     "status 正在写入游戏设置…",
                     "status 正在启动游戏…",
                     "start \"C:\\Game\\config.exe\" 1",
                     "picture 2 ojb1801",
                     "status Quellor.net",
                 }));
  // The file side of the same order: pack, exe patch, pack, config tool, scene table.
  EXPECT_EQ(FileWrites(), (std::vector<std::string>{"WriteWhole vsn.exe", "Delete vsn.exe",
                                                    "WriteAt Tovren.exe", "WriteWhole soe.exe",
                                                    "Delete soe.exe", "WriteWhole config.exe",
                                                    "WriteAt Tovren.res"}));
  EXPECT_EQ(FirstDifference(Read("Tovren.exe"), ExpectedGameExe(2, settings)), "");
  EXPECT_EQ(FirstDifference(Read("Tovren.res"), MakeGameRes()), "");  // everything present: as installed
  EXPECT_EQ(FirstDifference(Read("config.exe"), PackBytes("EXE", "CONFIG")), "");
  EXPECT_TRUE(Exists("sn22\\sn22.pvb"));
  EXPECT_FALSE(Exists("vsn.exe"));
  EXPECT_FALSE(Exists("soe.exe"));
  EXPECT_FALSE(host.windowsVisible);  // the launcher stays in the tray
  // Every program is started as its file, by its full path, never looked up.
  using Run = std::tuple<std::string, std::string, std::string>;
  std::vector<Run> runs;
  for (const auto& run : p.processes.runs) runs.emplace_back(run.file, run.commandLine, run.currentFolder);
  EXPECT_EQ(runs, (std::vector<Run>{{"C:\\Game\\vsn.exe", "\"C:\\Game\\vsn.exe\"", "C:\\Game"},
                                    {"C:\\Game\\soe.exe", "\"C:\\Game\\soe.exe\"", "C:\\Game"},
                                    {"C:\\Game\\config.exe", "\"C:\\Game\\config.exe\"", ""}}));
}

TEST_F(StartPress, ASecondPressLeavesTheGameFilesByteForByteAsTheFirst) {
  settings.版本编号.Set("3");
  packs.skip = {"sn09.pak", "music\\s7.mp3"};
  PressStart();
  const Bytes exe = Read("Tovren.exe");
  const Bytes res = Read("Tovren.res");
  EXPECT_EQ(exe, ExpectedGameExe(3, settings));
  EXPECT_EQ(res[SceneMarkAt(9)], 0x0A);
  EXPECT_EQ(res[SceneTrackAt(5)], 0x0B);
  PressStart();
  EXPECT_EQ(FirstDifference(Read("Tovren.exe"), exe), "");
  EXPECT_EQ(FirstDifference(Read("Tovren.res"), res), "");
  EXPECT_EQ(packs.ran, (std::vector<std::string>{"VSN/3", "SOE/ON", "VSN/3", "SOE/ON"}));
}

TEST_F(StartPress, SwitchingFromVersion2To1RemovesTheVersion2SceneFile) {
  settings.版本编号.Set("2");
  PressStart();
  ASSERT_TRUE(Exists("sn22\\sn22.pvb"));
  settings.版本编号.Set("1");
  PressStart();
  EXPECT_FALSE(Exists("sn22\\sn22.pvb"));
  EXPECT_EQ(FirstDifference(Read("Tovren.exe"), ExpectedGameExe(1, settings)), "");
}

TEST_F(StartPress, Switch2ChoosesTheDustFreePackAndSwitch4TheWow64Names) {
  settings.复选框辅助[1].Set("1");
  settings.复选框辅助[3].Set("1");
  PressStart();
  EXPECT_EQ(packs.ran, (std::vector<std::string>{"VSN/1", "SOE/OFF"}));
  EXPECT_EQ(p.registry.Get("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Corvane\\Tovren\\Exe"),
            "C:\\Game\\tovren.exe");
}

TEST_F(StartPress, On32BitWindowsSwitch4StillRegistersWhereTheGameReads) {
  p.system.windows64 = false;
  settings.复选框辅助[3].Set("1");
  PressStart();
  EXPECT_EQ(p.registry.Get("HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren\\Path"), "C:\\Game\\");
  EXPECT_EQ(p.registry.Get("HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren\\Exe"),
            "C:\\Game\\tovren.exe");
  EXPECT_EQ(p.registry.Get("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Corvane\\Tovren\\Exe"),
            std::nullopt);
}

TEST_F(StartPress, AnExistingConfigToolIsLeftAlone) {
  const Bytes theirs(3000, 0x42);
  PutFile(p.files, "config.exe", theirs);
  PressStart();
  EXPECT_EQ(FirstDifference(Read("config.exe"), theirs), "");
  EXPECT_EQ(std::count(p.files.log().begin(), p.files.log().end(), "WriteWhole config.exe"), 0);

  // A hidden file of that name is not the tool: it is written over.
  p.files.SetAttributes("config.exe", true, false);
  PressStart();
  EXPECT_EQ(FirstDifference(Read("config.exe"), PackBytes("EXE", "CONFIG")), "");
}

// Every failure: one message, the windows back, the tip idle, and nothing after it done.
class FailedPress : public StartPress {
 protected:
  void ExpectFailed(const std::string& fragment) {
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(fragment), std::string::npos) << host.messages[0];
    EXPECT_TRUE(host.windowsVisible);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[log.size() - 1], "show");
    EXPECT_EQ(log[log.size() - 2], "message");
    if (std::find(log.begin(), log.end(), "hide") != log.end())
      EXPECT_EQ(host.statuses.back(), "Quellor.net");
    EXPECT_EQ(host.pictures[kStartButton], "ojb1803");  // nothing was started
  }
};

TEST_F(FailedPress, AnUnknownVersionWritesNothing) {
  for (const char* version : {"4", "", "02", "1 "}) {
    settings.版本编号.Set(version);
    host.messages.clear();
    PressStart();
    ExpectFailed("版本");
  }
  EXPECT_TRUE(p.files.log().empty());
  EXPECT_TRUE(p.processes.runs.empty());
}

TEST_F(FailedPress, AValueThatDoesNotFitWritesNothing) {
  settings.人数.Set("12345");
  PressStart();
  ExpectFailed("人数");
  // One that fills its slot exactly leaves the game no terminating zero: refused alike.
  settings.人数.Set("16");
  settings.血量[3].Set("1234567");
  host.messages.clear();
  PressStart();
  ExpectFailed("血量4");
  EXPECT_TRUE(p.files.log().empty());
  EXPECT_TRUE(p.processes.runs.empty());
}

TEST_F(FailedPress, APlatformPathThatNamesNoProgramIsRefusedBeforeTheInstall) {
  settings.复选框辅助[7].Set("1");
  settings.路径.Set("D:\\My Games\\net.exe -game tovren");
  PressStart();
  ExpectFailed("浏览");
  EXPECT_TRUE(p.files.log().empty());
  EXPECT_TRUE(p.processes.runs.empty());
}

TEST_F(StartPress, APackEndingWithWarningsOnlyIsInstalledAndTheStartGoesOn) {
  packs.exitCode = 1;
  PressStart();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(packs.ran, (std::vector<std::string>{"VSN/1", "SOE/ON"}));
  EXPECT_EQ(FirstDifference(Read("Tovren.exe"), ExpectedGameExe(1, settings)), "");
  EXPECT_EQ(log[log.size() - 3], "start \"C:\\Game\\config.exe\" 1");
}

TEST_F(FailedPress, AFailedVersionPackStopsBeforeThePatch) {
  packs.exitCode = 2;
  PressStart();
  ExpectFailed("vsn.exe");
  EXPECT_EQ(packs.ran, std::vector<std::string>{"VSN/1"});
  EXPECT_EQ(FirstDifference(Read("Tovren.exe"), MakeGameExe(1)), "");  // extracted, not patched
}

TEST_F(FailedPress, AVersionPackWithoutTheGameLeavesNoFileOfZeros) {
  packs.skip = {"Tovren.exe"};
  PressStart();
  ExpectFailed("Tovren.exe");
  EXPECT_FALSE(Exists("Tovren.exe"));
  EXPECT_EQ(packs.ran, std::vector<std::string>{"VSN/1"});
}

TEST_F(FailedPress, AShortResourceFileIsNotWritten) {
  Bytes shortRes = MakeGameRes();
  shortRes.resize(1000);
  packs.skip = {"Tovren.res"};
  PutFile(p.files, "Tovren.res", shortRes);
  PressStart();
  ExpectFailed("Tovren.res");
  EXPECT_EQ(FirstDifference(Read("Tovren.res"), shortRes), "");
  EXPECT_TRUE(Exists("config.exe"));  // the steps before it stay done
}

TEST_F(FailedPress, ARefusedRegistryWriteAsksForAdministratorAndStopsThere) {
  p.registry.refuseWith = platform::kErrorAccessDenied;
  PressStart();
  ExpectFailed("管理员");
  EXPECT_FALSE(Exists("config.exe"));
  EXPECT_EQ(FirstDifference(Read("Tovren.exe"), ExpectedGameExe(1, settings)), "");  // earlier steps stay
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& e) { return e.rfind("start ", 0) == 0; }),
            0);
}

TEST_F(FailedPress, AMissingPayloadResourceIsReported) {
  sim::SimResources empty;
  LaunchServices bare{p.files, empty, p.processes, registry, p.system};
  GameLauncher bareLauncher{bare, settings, host, online};
  PressHandler bareHandler{settings, host, bareLauncher};
  bareHandler.OnPress(kStartButton, platform::kLeftButton);
  ExpectFailed("VSN/1");
}

TEST_F(FailedPress, AFailedListFetchIsReportedAfterTheGameIsPrepared) {
  settings.复选框辅助[4].Set("1");
  settings.复选框辅助[5].Set("1");
  online.failLists = {1};
  PressStart();
  ExpectFailed("网络");
  EXPECT_EQ(FirstDifference(Read("Tovren.exe"), ExpectedGameExe(1, settings)), "");
}

TEST_F(FailedPress, AnUnforeseenPlatformErrorStillComesBackAsAMessage) {
  p.processes.onStart = [](const platform::Program&, int) { throw std::runtime_error("odd"); };
  PressStart();
  ExpectFailed("启动");
}

// --- the other four buttons --------------------------------------------------------------

TEST_F(StartPress, OnlyTheLeftButtonActs) {
  for (int button : {platform::kRightButton, platform::kMiddleButton, 0}) {
    for (std::int16_t index = 0; index <= 4; ++index) handler.OnPress(index, button);
  }
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(settings.按钮辅助[0].Text(), "0");
  EXPECT_EQ(settings.按钮辅助[1].Text(), "0");
}

TEST_F(StartPress, PanelButtonsToggleTheirFlagsAndCloseBoth) {
  std::vector<std::string> changes;
  settings.按钮辅助[0].OnChange([&] { changes.push_back("flag1=" + settings.按钮辅助[0].Text()); });
  settings.按钮辅助[1].OnChange([&] { changes.push_back("flag2=" + settings.按钮辅助[1].Text()); });

  handler.OnPress(kNetworkButton, platform::kLeftButton);
  EXPECT_EQ(changes, std::vector<std::string>{"flag1=1"});
  handler.OnPress(kNetworkButton, platform::kLeftButton);
  EXPECT_EQ(changes, (std::vector<std::string>{"flag1=1", "flag1=0"}));  // flag 2 already "0"

  changes.clear();
  handler.OnPress(kSettingsButton, platform::kLeftButton);
  handler.OnPress(kNetworkButton, platform::kLeftButton);  // opens network, keeps flag 2
  EXPECT_EQ(changes, (std::vector<std::string>{"flag2=1", "flag1=1"}));
  changes.clear();
  handler.OnPress(kSettingsButton, platform::kLeftButton);  // closes both: flag 2 first
  EXPECT_EQ(changes, (std::vector<std::string>{"flag2=0", "flag1=0"}));
  handler.OnPress(kNetworkButton, platform::kLeftButton);
  changes.clear();
  handler.OnPress(kNetworkButton, platform::kLeftButton);  // closes both: flag 1 first
  EXPECT_EQ(changes, (std::vector<std::string>{"flag1=0"}));
  EXPECT_EQ(host.pictures[kNetworkButton], "ojb1603");
  EXPECT_EQ(host.pictures[kSettingsButton], "ojb1703");
  EXPECT_FALSE(host.closed);
  EXPECT_TRUE(host.windowsVisible);
}

TEST_F(StartPress, MinimiseHidesBothAndCloseClosesMain) {
  handler.OnPress(kMinimiseButton, platform::kLeftButton);
  EXPECT_EQ(log, (std::vector<std::string>{"picture 3 ojb1903", "hide", "picture 3 ojb1901"}));
  EXPECT_EQ(settings.按钮辅助[0].Text(), "0");
  log.clear();
  handler.OnPress(kCloseButton, platform::kLeftButton);
  EXPECT_EQ(log, (std::vector<std::string>{"picture 4 ojb2003", "close"}));
}

TEST_F(StartPress, AnIndexOutsideTheButtonsOnlyGetsItsPicture) {
  handler.OnPress(7, platform::kLeftButton);
  handler.OnPress(-1, platform::kLeftButton);
  EXPECT_EQ(log, (std::vector<std::string>{"picture 7 ojb2303", "picture -1 ojb1503"}));
  EXPECT_TRUE(p.processes.runs.empty());
}

}  // namespace
}  // namespace tovren::launch
