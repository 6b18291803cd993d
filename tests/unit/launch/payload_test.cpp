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
  sim::SimPlatform p{dir.path()};
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

TEST_F(Payload, RunsThePackHiddenInTheGameFolderAndWaits) {
  InstallPayload(services, "VSN", "2", "vsn.exe");
  ASSERT_EQ(p.processes.runs.size(), 1u);
  EXPECT_EQ(p.processes.runs[0].commandLine, "vsn.exe");
  EXPECT_EQ(p.processes.runs[0].currentFolder, ".");
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

TEST_F(Payload, AFailedPackIsAMessageAndLeavesNoArchive) {
  packs.exitCode = 4;
  packs.deleteSelf = false;
  std::string message = MessageOf([&] { InstallPayload(services, "VSN", "1", "vsn.exe"); });
  EXPECT_NE(message.find("vsn.exe"), std::string::npos);
  EXPECT_NE(message.find("4"), std::string::npos);
  EXPECT_FALSE(Exists("vsn.exe"));
}

TEST_F(Payload, APackThatCannotStartOrBeRemovedIsAMessage) {
  p.processes.onRun = [](const std::string& cmd, const std::string&) -> std::uint32_t {
    throw platform::OsError("start " + cmd, 193);
  };
  EXPECT_NE(MessageOf([&] { InstallPayload(services, "VSN", "1", "vsn.exe"); }).find("vsn.exe"),
            std::string::npos);

  // Runs fine, stays behind, and cannot be deleted.
  p.processes.onRun = [&](const std::string& cmd, const std::string&) -> std::uint32_t {
    p.files.FailWrites(cmd);
    return 0;
  };
  EXPECT_NE(MessageOf([&] { InstallPayload(services, "SOE", "ON", "soe.exe"); }).find("soe.exe"),
            std::string::npos);
}

TEST_F(Payload, AHungPackIsBoundedAndAMessage) {
  p.processes.onRun = [](const std::string& cmd, const std::string&) -> std::uint32_t {
    throw platform::OsError("wait for " + cmd, platform::kErrorTimeout);
  };
  std::string message = MessageOf([&] { InstallPayload(services, "VSN", "2", "vsn.exe"); });
  EXPECT_NE(message.find("太久"), std::string::npos) << message;
  ASSERT_FALSE(p.processes.runs.empty());
  EXPECT_EQ(p.processes.runs.back().timeoutMs, kPackTimeoutMs);
  EXPECT_FALSE(Exists("vsn.exe"));
}

}  // namespace
}  // namespace tovren::launch
