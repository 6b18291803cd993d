// Writing resources into the game folder and running the packs.
#include <gtest/gtest.h>

#include "core/user_error.h"
#include "launch/payload.h"
#include "tests/unit/launch/game_fixture.h"

namespace tovren::launch {
namespace {

using platform::Bytes;
using namespace testing;

class Payload : public ::testing::Test {
 protected:
  sim::TempDir dir;
  // A game folder whose path holds blanks, as players have them.
  sim::SimPlatform p{dir.path(), "D:\\My Games\\Tovren"};
  LaunchServices services = LaunchServices::From(p.Get());
  FakePacks packs{p};

  void SetUp() override { AddPayloadResources(p.resources); }
  bool Exists(const std::string& name) { return p.files.Stat(name).has_value(); }

  std::string MessageOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const core::UserError& e) {
      return e.message();
    }
    ADD_FAILURE() << "no UserError";
    return "";
  }
};

TEST_F(Payload, WrittenFileIsExactlyTheResourceEvenOverALongerOne) {
  PutFile(p.files, "config.exe", Bytes(5000, 0x11));
  WriteResourceFile(services, "EXE", "CONFIG", "config.exe");
  EXPECT_EQ(p.files.ReadAll("config.exe"), PackBytes("EXE", "CONFIG"));
  EXPECT_TRUE(p.processes.runs.empty());  // written, not run
}

TEST_F(Payload, MissingResourceOrUnwritableFileIsAMessage) {
  EXPECT_NE(MessageOf([&] { WriteResourceFile(services, "VSN", "4", "vsn.exe"); }).find("VSN/4"),
            std::string::npos);
  EXPECT_FALSE(Exists("vsn.exe"));
  p.files.FailWrites("soe.exe");
  EXPECT_NE(MessageOf([&] { InstallPayload(services, "SOE", "ON", "soe.exe"); }).find("soe.exe"),
            std::string::npos);
  EXPECT_TRUE(p.processes.runs.empty());
}

TEST_F(Payload, RunsThePackHiddenInTheGameFolderAsItsFileAndWaits) {
  InstallPayload(services, "VSN", "2", "vsn.exe");
  ASSERT_EQ(p.processes.runs.size(), 1u);
  EXPECT_EQ(p.processes.runs[0].file, "D:\\My Games\\Tovren\\vsn.exe");
  EXPECT_EQ(p.processes.runs[0].commandLine, "\"D:\\My Games\\Tovren\\vsn.exe\"");
  EXPECT_EQ(p.processes.runs[0].currentFolder, "D:\\My Games\\Tovren");
  EXPECT_TRUE(p.processes.runs[0].waited);
  EXPECT_EQ(packs.ran, std::vector<std::string>{"VSN/2"});  // it saw exactly VSN/2's bytes
  EXPECT_TRUE(Exists("Tovren.exe"));
  EXPECT_FALSE(Exists("vsn.exe"));
}

TEST_F(Payload, APackLeftBehindIsDeleted) {
  packs.deleteSelf = false;
  InstallPayload(services, "SOE", "OFF", "soe.exe");
  EXPECT_FALSE(Exists("soe.exe"));
  EXPECT_TRUE(Exists("texture\\effect.tex"));
}

TEST_F(Payload, ExitCodesAsSelfExtractingArchivesReportThem) {
  // 0 done, 1 warnings only (everything extracted): the install goes on; 2 and above failed.
  const std::pair<std::uint32_t, bool> cases[] = {{0, true}, {1, true}, {2, false}, {255, false}};
  for (const auto& [code, installed] : cases) {
    SCOPED_TRACE(code);
    packs.exitCode = code;
    packs.deleteSelf = false;
    std::string message;
    try {
      InstallPayload(services, "VSN", "1", "vsn.exe");
    } catch (const core::UserError& e) {
      message = e.message();
    }
    if (installed) {
      EXPECT_EQ(message, "");
    } else {
      EXPECT_NE(message.find("vsn.exe"), std::string::npos) << message;
      EXPECT_NE(message.find(std::to_string(code)), std::string::npos) << message;
    }
    EXPECT_FALSE(Exists("vsn.exe"));  // left behind, then removed either way
  }
}

TEST_F(Payload, APackThatCannotStartOrBeRemovedIsAMessage) {
  p.processes.onRun = [](const platform::Program& program, const std::string&) -> std::uint32_t {
    throw platform::OsError("start " + program.file, 193);
  };
  EXPECT_NE(MessageOf([&] { InstallPayload(services, "VSN", "1", "vsn.exe"); }).find("vsn.exe"),
            std::string::npos);

  // Runs fine, stays behind, and cannot be deleted.
  p.processes.onRun = [&](const platform::Program& program, const std::string&) -> std::uint32_t {
    p.files.FailWrites(program.file);
    return 1;  // warnings only: the pack counts as installed, so its leftover must go
  };
  EXPECT_NE(MessageOf([&] { InstallPayload(services, "SOE", "ON", "soe.exe"); }).find("soe.exe"),
            std::string::npos);
}

TEST_F(Payload, AHungPackIsBoundedAndAMessage) {
  p.processes.onRun = [](const platform::Program& program, const std::string&) -> std::uint32_t {
    throw platform::OsError("wait for " + program.file, platform::kErrorTimeout);
  };
  std::string message = MessageOf([&] { InstallPayload(services, "VSN", "2", "vsn.exe"); });
  EXPECT_NE(message.find("太久"), std::string::npos) << message;
  ASSERT_FALSE(p.processes.runs.empty());
  EXPECT_EQ(p.processes.runs.back().timeoutMs, kPackTimeoutMs);
  EXPECT_FALSE(Exists("vsn.exe"));
}

}  // namespace
}  // namespace tovren::launch
