// Registration of the game and the programs that start play.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/number_text.h"
#include "core/user_error.h"
#include "launch/platform_program.h"
#include "launch/start_play.h"
#include "platform/api/errors.h"
#include "tests/unit/launch/game_fixture.h"

namespace tovren::launch {
namespace {

using namespace testing;

TEST(RegisterGame, WritesPathAndExeInTheViewSwitch4Chooses) {
  struct Case {
    const char* folder;
    const char* switch4;
    const char* key;
    const char* path;
    const char* exe;
  };
  const Case cases[] = {
      {"D:\\Game", "0", "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren", "D:\\Game\\",
       "D:\\Game\\tovren.exe"},
      {"D:\\Game", "1", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Corvane\\Tovren", "D:\\Game\\",
       "D:\\Game\\tovren.exe"},
      {"D:\\Game", "yes", "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren", "D:\\Game\\",
       "D:\\Game\\tovren.exe"},
      // A drive root keeps its one backslash.
      {"D:\\", "0", "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren", "D:\\", "D:\\tovren.exe"},
  };
  for (const Case& c : cases) {
    sim::SimRegistry registry;
    core::Settings settings;
    settings.复选框辅助[3].Set(c.switch4);
    RegisterGame(registry, settings, c.folder);
    using W = std::pair<std::string, std::string>;
    EXPECT_EQ(registry.writes, (std::vector<W>{{std::string(c.key) + "\\Path", c.path},
                                                {std::string(c.key) + "\\Exe", c.exe}}))
        << c.folder << " switch 4 = " << c.switch4;
  }
}

TEST(RegisterGame, ARefusedWriteAsksForAdministratorRights) {
  sim::SimRegistry registry;
  core::Settings settings;
  registry.refuseWith = platform::kErrorAccessDenied;
  try {
    RegisterGame(registry, settings, "C:\\Game");
    FAIL() << "no error";
  } catch (const core::UserError& e) {
    EXPECT_NE(e.message().find("管理员"), std::string::npos) << e.message();
  }
  registry.refuseWith = 1234;  // any other failure is reported too, with its number
  try {
    RegisterGame(registry, settings, "C:\\Game");
    FAIL() << "no error";
  } catch (const core::UserError& e) {
    EXPECT_NE(e.message().find("1234"), std::string::npos) << e.message();
  }
}

TEST(SwitchReadsOn, ReadsTheTextAsANumberLikeTheRuntimeMonitor) {
  // One reading for the start press and the monitor: a text that reads as 1 is on.
  const std::pair<const char*, bool> cases[] = {
      {"1", true},  {"01", true},  {" 1", true},  {"1.0", true}, {"1a", true}, {"+1", true},
      {"0", false}, {"", false},   {"yes", false}, {"-1", false}, {"11", false}, {"0.5", false}};
  for (const auto& [text, on] : cases) EXPECT_EQ(core::SwitchReadsOn(text), on) << '"' << text << '"';
}

// --- what the platform path starts -------------------------------------------------------

class PlatformPath : public ::testing::Test {
 protected:
  sim::TempDir dir;
  sim::SimPlatform p{dir.path()};
  void SetUp() override {
    PutFile(p.files, "D:\\Net Client\\net.exe", Text("net"));
    PutFile(p.files, "here.exe", Text("in the game folder"));
    std::filesystem::create_directories(p.files.HostPath("D:\\Net Client\\tools"));
  }
};

TEST_F(PlatformPath, AFileStartsAsItselfAndAQuotedCommandLineAsWritten) {
  using P = std::pair<std::string, std::string>;
  const std::pair<const char*, P> cases[] = {
      {"D:\\Net Client\\net.exe", {"D:\\Net Client\\net.exe", "\"D:\\Net Client\\net.exe\""}},
      {"\"D:\\Net Client\\net.exe\" -game tovren",
       {"D:\\Net Client\\net.exe", "\"D:\\Net Client\\net.exe\" -game tovren"}},
      {"\"D:\\Net Client\\net.exe\"", {"D:\\Net Client\\net.exe", "\"D:\\Net Client\\net.exe\""}},
      {"here.exe", {"C:\\Game\\here.exe", "\"C:\\Game\\here.exe\""}},
  };
  for (const auto& [path, want] : cases) {
    platform::Program got = PlatformProgram(path, p.files, p.system);
    EXPECT_EQ(P(got.file, got.commandLine), want) << path;
  }
}

TEST_F(PlatformPath, TextThatNamesNoFileIsRefusedWithTheWayOut) {
  for (const char* path : {
           "D:\\Net Client\\net.exe -game tovren",  // the system would guess "D:\Net.exe" first
           "D:\\Net Client\\gone.exe",
           "D:\\Net Client\\tools",                  // a folder
           "\"D:\\Net Client\\net.exe -game",        // its quote never closes
           "\"D:\\Net Client\\gone.exe\" -game",
           "\"\" -game",
           "\\Net Client\\net.exe",                  // depends on the drive in use
           "D:net.exe",
       }) {
    try {
      PlatformProgram(path, p.files, p.system);
      ADD_FAILURE() << "accepted: " << path;
    } catch (const core::UserError& e) {
      EXPECT_NE(e.message().find("浏览"), std::string::npos) << e.message();
      EXPECT_NE(e.message().find(path), std::string::npos) << e.message();
    }
  }
}

// --- what a start starts ------------------------------------------------------------------

struct PlayCase {
  const char* name;
  const char* s5;
  const char* s6;
  const char* s7;
  const char* s8;
  const char* path;
  std::vector<std::string> events;
};

class StartPlayTable : public ::testing::TestWithParam<PlayCase> {};

const std::string kConfig1 = "start \"C:\\Game\\config.exe\" 1";
const std::string kConfig2 = "start \"C:\\Game\\config.exe\" 2";
const std::string kPicture = "picture 2 ojb1801";
const char* kPath = "\"D:\\Net Client\\net.exe\" -game tovren";
const std::string kPlatform = std::string("start ") + kPath + " 1";

TEST_P(StartPlayTable, StartsWhatTheSwitchesSay) {
  const PlayCase& c = GetParam();
  std::vector<std::string> log;
  sim::TempDir dir;
  sim::SimPlatform p{dir.path()};
  PutFile(p.files, "D:\\Net Client\\net.exe", Text("net"));
  LaunchServices services = LaunchServices::From(p.Get());
  p.processes.onStart = [&](const platform::Program& program, int show) {
    log.push_back("start " + program.commandLine + " " + std::to_string(show));
  };
  FakeHost host(&log);
  FakeOnline online(&log);
  core::Settings s;
  s.复选框辅助[4].Set(c.s5);
  s.复选框辅助[5].Set(c.s6);
  s.复选框辅助[6].Set(c.s7);
  s.复选框辅助[7].Set(c.s8);
  s.路径.Set(c.path);
  StartPlay(services, s, online, host, "C:\\Game");
  EXPECT_EQ(log, c.events);
  for (const auto& run : p.processes.runs) {
    EXPECT_FALSE(run.waited);
    // Named by its file, which the command line's quoted program part repeats.
    EXPECT_TRUE(run.file == "C:\\Game\\config.exe" || run.file == "D:\\Net Client\\net.exe") << run.file;
    EXPECT_EQ(run.commandLine.rfind("\"" + run.file + "\"", 0), 0u) << run.commandLine;
  }
  if (online.accumulatorsSeen.size() == 2) EXPECT_EQ(online.accumulatorsSeen[1], "list1");
}

INSTANTIATE_TEST_SUITE_P(
    AllRows, StartPlayTable,
    ::testing::Values(
        PlayCase{"none", "0", "0", "0", "0", kPath, {kConfig1, kPicture}},
        PlayCase{"s8_path", "0", "0", "0", "1", kPath, {kPlatform, kPicture}},
        PlayCase{"s8_no_path", "0", "0", "0", "1", "", {kConfig2, kPicture}},
        PlayCase{"s5_s6", "1", "1", "0", "0", "", {"refresh 1", "submit 1", kConfig1, kPicture}},
        PlayCase{"s5_s7", "1", "0", "1", "0", "", {"refresh 2", "submit 2", kConfig1, kPicture}},
        PlayCase{"s5_alone", "1", "0", "0", "0", kPath, {}},
        PlayCase{"s5_s6_s7", "1", "1", "1", "0", "",
                 {"refresh 1", "submit 1", kConfig1, kPicture, "refresh 2", "submit 2", kConfig1,
                  kPicture}},
        PlayCase{"s6_without_s5", "0", "1", "0", "0", "", {kConfig1, kPicture}},
        PlayCase{"s7_without_s5", "0", "0", "1", "0", "", {kConfig1, kPicture}},
        PlayCase{"s5_s8_s6_s7", "1", "1", "1", "1", kPath,
                 {kPlatform, kPicture, "refresh 1", "submit 1", kConfig1, kPicture, "refresh 2",
                  "submit 2", kConfig1, kPicture}},
        PlayCase{"s5_s8_no_path", "1", "0", "0", "1", "", {kConfig2, kPicture}},
        // Texts are read as numbers, as the monitor reads them: "01" and " 1" are on.
        PlayCase{"empty_texts", "", "", "", "", kPath, {kConfig1, kPicture}},
        PlayCase{"words", "yes", "1", "1", "on", kPath, {kConfig1, kPicture}},
        PlayCase{"leading_zero", "01", "01", "0", "0", "", {"refresh 1", "submit 1", kConfig1, kPicture}},
        PlayCase{"hand_edited", " 1", "1.0", "0", "0", "", {"refresh 1", "submit 1", kConfig1, kPicture}}),
    [](const auto& info) { return std::string(info.param.name); });

class StartPlayFailure : public ::testing::Test {
 protected:
  std::vector<std::string> log;
  sim::TempDir dir;
  sim::SimPlatform p{dir.path()};
  LaunchServices services = LaunchServices::From(p.Get());
  FakeHost host{&log};
  FakeOnline online{&log};
  core::Settings s;

  std::string Message() {
    try {
      StartPlay(services, s, online, host, "C:\\Game");
    } catch (const core::UserError& e) {
      return e.message();
    }
    ADD_FAILURE() << "no UserError";
    return "";
  }
};

TEST_F(StartPlayFailure, AFailedFetchEndsTheStartBeforeItsPageAndConfigTool) {
  s.复选框辅助[4].Set("1");
  s.复选框辅助[5].Set("1");
  s.复选框辅助[6].Set("1");
  online.failLists = {2};
  EXPECT_FALSE(Message().empty());
  EXPECT_EQ(log, (std::vector<std::string>{"refresh 1", "submit 1", kPicture, "refresh 2"}));
  EXPECT_EQ(p.processes.runs.size(), 1u);
}

TEST_F(StartPlayFailure, AProgramThatCannotStartIsNamed) {
  p.processes.onStart = [](const platform::Program& program, int) {
    throw platform::OsError("start " + program.file, 193);
  };
  EXPECT_NE(Message().find("config.exe"), std::string::npos);
  EXPECT_TRUE(log.empty());  // the picture stays pressed

  PutFile(p.files, "D:\\Net\\broken.exe", Text("not a program"));
  s.复选框辅助[7].Set("1");
  s.路径.Set("D:\\Net\\broken.exe");
  EXPECT_NE(Message().find("D:\\Net\\broken.exe"), std::string::npos);
}

TEST_F(StartPlayFailure, APlatformPathThatNamesNoFileStartsNothingAtAll) {
  for (int i : {4, 5, 7}) s.复选框辅助[static_cast<size_t>(i)].Set("1");  // switches 5, 6 and 8
  s.路径.Set("D:\\My Games\\net.exe -game tovren");
  EXPECT_NE(Message().find("浏览"), std::string::npos);
  EXPECT_TRUE(p.processes.runs.empty());
  EXPECT_TRUE(log.empty());  // no list step either
}

}  // namespace
}  // namespace tovren::launch
