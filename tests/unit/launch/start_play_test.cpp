// Registration of the game and the programs that start play.
#include <gtest/gtest.h>

#include "core/user_error.h"
#include "launch/start_play.h"
#include "platform/api/errors.h"
#include "tests/unit/launch/game_fixture.h"

namespace tovren::launch {
namespace {

using namespace testing;

TEST(RegisterGame, WritesPathAndExeWhereSwitch4AndTheWindowsChoose) {
  constexpr const char* kSoftware = "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren";
  constexpr const char* kWow64 = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Corvane\\Tovren";
  struct Case {
    bool wow64;
    const char* folder;
    const char* switch4;
    const char* key;
    const char* path;
    const char* exe;
  };
  const Case cases[] = {
      {true, "D:\\Game", "0", kSoftware, "D:\\Game\\", "D:\\Game\\tovren.exe"},
      {true, "D:\\Game", "1", kWow64, "D:\\Game\\", "D:\\Game\\tovren.exe"},
      {true, "D:\\Game", "yes", kSoftware, "D:\\Game\\", "D:\\Game\\tovren.exe"},
      // A drive root keeps its one backslash.
      {true, "D:\\", "0", kSoftware, "D:\\", "D:\\tovren.exe"},
      // A 32-bit Windows has no 32-bit view to choose: Wow6432Node would be a plain subkey
      // that the game never reads.
      {false, "D:\\Game", "0", kSoftware, "D:\\Game\\", "D:\\Game\\tovren.exe"},
      {false, "D:\\Game", "1", kSoftware, "D:\\Game\\", "D:\\Game\\tovren.exe"},
  };
  for (const Case& c : cases) {
    sim::SimRegistry registry;
    core::Settings settings;
    settings.复选框辅助[3].Set(c.switch4);
    RegisterGame(registry, settings, c.folder, c.wow64);
    using W = std::pair<std::string, std::string>;
    EXPECT_EQ(registry.writes, (std::vector<W>{{std::string(c.key) + "\\Path", c.path},
                                                {std::string(c.key) + "\\Exe", c.exe}}))
        << c.folder << " switch 4 = " << c.switch4 << (c.wow64 ? ", 64-bit" : ", 32-bit");
  }
}

TEST(RegisterGame, ARefusedWriteAsksForAdministratorRights) {
  sim::SimRegistry registry;
  core::Settings settings;
  registry.refuseWith = platform::kErrorAccessDenied;
  try {
    RegisterGame(registry, settings, "C:\\Game", true);
    FAIL() << "no error";
  } catch (const core::UserError& e) {
    EXPECT_NE(e.message().find("管理员"), std::string::npos) << e.message();
  }
  registry.refuseWith = 1234;  // any other failure is reported too, with its number
  try {
    RegisterGame(registry, settings, "C:\\Game", true);
    FAIL() << "no error";
  } catch (const core::UserError& e) {
    EXPECT_NE(e.message().find("1234"), std::string::npos) << e.message();
  }
}

TEST(ReadSwitchNumber, ReadsDecimalNumbersAndCountsAnythingElseAsZero) {
  const std::pair<const char*, long long> cases[] = {
      {"0", 0},  {"1", 1},   {"01", 1},  {"10", 10}, {"11", 11}, {"-1", -1}, {"+1", 1},
      {"", 0},   {"yes", 0}, {"1a", 0},  {" 1", 0},  {"1.0", 0}, {"-", 0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(ReadSwitchNumber(text), value) << '"' << text << '"';
  EXPECT_GT(ReadSwitchNumber("99999999999999999999999999"), 1);  // huge, not wrapped
}

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

const std::string kConfig1 = "start C:\\Game\\config.exe 1";
const std::string kConfig2 = "start C:\\Game\\config.exe 2";
const std::string kPicture = "picture 2 ojb1801";
const std::string kPlatform = "start D:\\Net\\net.exe -game tovren 1";

TEST_P(StartPlayTable, StartsWhatTheSwitchesSay) {
  const PlayCase& c = GetParam();
  std::vector<std::string> log;
  sim::SimProcesses processes;
  processes.onStart = [&](const std::string& cmd, int show) {
    log.push_back("start " + cmd + " " + std::to_string(show));
  };
  FakeHost host(&log);
  FakeOnline online(&log);
  core::Settings s;
  s.复选框辅助[4].Set(c.s5);
  s.复选框辅助[5].Set(c.s6);
  s.复选框辅助[6].Set(c.s7);
  s.复选框辅助[7].Set(c.s8);
  s.路径.Set(c.path);
  StartPlay(processes, s, online, host, "C:\\Game");
  EXPECT_EQ(log, c.events);
  for (const auto& run : processes.runs) EXPECT_FALSE(run.waited);
  if (online.accumulatorsSeen.size() == 2) EXPECT_EQ(online.accumulatorsSeen[1], "list1");
}

const char* kPath = "D:\\Net\\net.exe -game tovren";

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
        // Texts that are not numbers count as 0; "01" reads as 1.
        PlayCase{"empty_texts", "", "", "", "", kPath, {kConfig1, kPicture}},
        PlayCase{"words", "yes", "1", "1", "on", kPath, {kConfig1, kPicture}},
        PlayCase{"leading_zero", "01", "01", "0", "0", "", {"refresh 1", "submit 1", kConfig1, kPicture}}),
    [](const auto& info) { return std::string(info.param.name); });

class StartPlayFailure : public ::testing::Test {
 protected:
  std::vector<std::string> log;
  sim::SimProcesses processes;
  FakeHost host{&log};
  FakeOnline online{&log};
  core::Settings s;

  std::string Message() {
    try {
      StartPlay(processes, s, online, host, "C:\\Game");
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
  EXPECT_EQ(processes.runs.size(), 1u);
}

TEST_F(StartPlayFailure, AProgramThatCannotStartIsNamed) {
  processes.onStart = [](const std::string& cmd, int) { throw platform::OsError("start " + cmd, 2); };
  EXPECT_NE(Message().find("config.exe"), std::string::npos);
  EXPECT_TRUE(log.empty());  // the picture stays pressed

  s.复选框辅助[7].Set("1");
  s.路径.Set("D:\\Net\\gone.exe");
  EXPECT_NE(Message().find("D:\\Net\\gone.exe"), std::string::npos);
}

}  // namespace
}  // namespace tovren::launch
