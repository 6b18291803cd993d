// The byte patterns and the two patchers, on real files in a temporary game folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "core/user_error.h"
#include "launch/exe_patch.h"
#include "launch/hex_bytes.h"
#include "launch/scene_patch.h"
#include "tests/unit/launch/game_fixture.h"

namespace tovren::launch {
namespace {

using platform::Bytes;
using namespace testing;

TEST(HexToBytes, ReadsEachBlankSeparatedPieceAsOneByte) {
  const std::pair<const char*, Bytes> cases[] = {
      {"00 00 00 00", {0, 0, 0, 0}}, {"90 90", {0x90, 0x90}}, {"71", {0x71}},
      {"0A", {0x0A}},                {"0b", {0x0B}},          {"ff 7", {0xFF, 0x07}},
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(HexToBytes(text), bytes) << text;
}

TEST(HexToBytes, RefusesMalformedPatterns) {
  for (const char* bad : {"", " ", "90  90", "90 ", " 90", "9G", "100", "90,90"})
    EXPECT_THROW(HexToBytes(bad), std::invalid_argument) << '"' << bad << '"';
}

class GameFolder : public ::testing::Test {
 protected:
  sim::TempDir dir;
  sim::SimPlatform p{dir.path()};
  core::Settings settings;

  Bytes Read(const std::string& name) { return p.files.ReadAll(name); }
  bool Exists(const std::string& name) { return p.files.Stat(name).has_value(); }
};

// --- executable --------------------------------------------------------------------------

struct ExeCase {
  int version;
  bool hiddenCommands;
  bool customValues;
};

class ExePatch : public GameFolder, public ::testing::WithParamInterface<ExeCase> {};

TEST_P(ExePatch, WritesExactlyTheDocumentedBytes) {
  const ExeCase c = GetParam();
  settings.复选框辅助[0].Set(c.hiddenCommands ? "1" : "0");
  if (c.customValues) {
    // Short, longest-fitting and non-ASCII values: the clears must leave terminators where
    // a value is short, and GBK bytes must be written for Chinese text.
    settings.血量[0].Set("30");     // 3 of HP value 1's 4 bytes
    settings.血量[1].Set("999999"); // 7 bytes in an 8-byte slot
    settings.血量[4].Set("");       // only "%"
    settings.时间[0].Set("7");
    settings.时间[3].Set("中");     // D6 D0
    settings.场次[3].Set("ABC");    // 3 of 4 bytes
    settings.场次[7].Set("OO");
    settings.人数.Set("");
  }
  PutFile(p.files, "Tovren.exe", MakeGameExe(c.version));
  PatchGameExecutable(p.files, settings, c.version);
  Bytes got = Read("Tovren.exe");
  EXPECT_EQ(FirstDifference(got, ExpectedGameExe(c.version, settings)), "");
  const int col = Column(c.version);
  EXPECT_EQ(got[kHiddenCommandsAt[col]], c.hiddenCommands ? 0x71 : 0x75);
}

INSTANTIATE_TEST_SUITE_P(
    VersionsAndSwitch1, ExePatch,
    ::testing::Values(ExeCase{1, false, false}, ExeCase{1, true, false}, ExeCase{2, false, false},
                      ExeCase{2, true, false}, ExeCase{3, false, false}, ExeCase{3, true, false},
                      ExeCase{1, true, true}, ExeCase{2, false, true}),
    [](const auto& info) {
      return "v" + std::to_string(info.param.version) + (info.param.hiddenCommands ? "_on" : "_off") +
             (info.param.customValues ? "_custom" : "");
    });

TEST_F(GameFolder, Version3WritesWhereVersion1Writes) {
  PutFile(p.files, "Tovren.exe", MakeGameExe(1));
  PatchGameExecutable(p.files, settings, 1);
  Bytes one = Read("Tovren.exe");
  PutFile(p.files, "Tovren.exe", MakeGameExe(1));
  PatchGameExecutable(p.files, settings, 3);
  EXPECT_EQ(FirstDifference(Read("Tovren.exe"), one), "");
}

TEST_F(GameFolder, RefusesAMissingShortOrFolderExecutableAndWritesNothing) {
  // Missing, and a folder of that name: nothing is created.
  EXPECT_THROW(PatchGameExecutable(p.files, settings, 1), core::UserError);
  EXPECT_FALSE(Exists("Tovren.exe"));
  std::filesystem::create_directory(p.files.HostPath("Tovren.exe"));
  EXPECT_THROW(PatchGameExecutable(p.files, settings, 2), core::UserError);
  std::filesystem::remove(p.files.HostPath("Tovren.exe"));

  // One byte short of the highest write of each layout (time value 4's slot end).
  for (int version : {1, 2}) {
    const std::uint64_t end = version == 2 ? 1864868 : 1864852;
    Bytes shortExe = MakeGameExe(version);
    shortExe.resize(end - 1);
    PutFile(p.files, "Tovren.exe", shortExe);
    try {
      PatchGameExecutable(p.files, settings, version);
      ADD_FAILURE() << "short executable accepted, version " << version;
    } catch (const core::UserError& e) {
      EXPECT_NE(e.message().find("Tovren.exe"), std::string::npos);
    }
    EXPECT_EQ(FirstDifference(Read("Tovren.exe"), shortExe), "");
    shortExe.resize(end);  // exactly long enough is fine
    PutFile(p.files, "Tovren.exe", shortExe);
    EXPECT_NO_THROW(PatchGameExecutable(p.files, settings, version));
  }
}

TEST_F(GameFolder, RefusesAValueThatLeavesItsSlotNoTerminatingZero) {
  PutFile(p.files, "Tovren.exe", MakeGameExe(1));
  const Bytes before = Read("Tovren.exe");
  struct Case { core::Field* field; const char* text; const char* label; };
  const Case cases[] = {
      {&settings.血量[0], "100", "血量1"},       // 4 bytes with "%": fills the 4-byte slot
      {&settings.血量[2], "1234567", "血量3"},   // 8 bytes with "%": fills the 8-byte slot
      {&settings.场次[3], "ABCD", "场次4"},      // 4 of 4
      {&settings.人数, "中文", "人数"},          // 4 GBK bytes
      {&settings.血量[0], "1000", "血量1"},      // longer still: 5 bytes in 4
      {&settings.血量[2], "12345678", "血量3"},  // 9 bytes in 8
      {&settings.时间[1], "12345", "时间2"},
  };
  for (const Case& c : cases) {
    std::string old = c.field->Text();
    c.field->Set(c.text);
    try {
      CheckRuleValues(settings);
      ADD_FAILURE() << "accepted " << c.text;
    } catch (const core::UserError& e) {
      EXPECT_NE(e.message().find(c.label), std::string::npos) << e.message();
    }
    EXPECT_THROW(PatchGameExecutable(p.files, settings, 1), core::UserError) << c.text;
    EXPECT_EQ(FirstDifference(Read("Tovren.exe"), before), "") << c.text;
    c.field->Set(old);
  }
  settings.血量[0].Set("99");      // 3 of 4 bytes
  settings.血量[2].Set("123456");  // 7 of 8 bytes: the slot's last byte stays its zero
  EXPECT_NO_THROW(PatchGameExecutable(p.files, settings, 1));
}

TEST_F(GameFolder, RemovesTheVersion2SceneFileOnlyForVersions1And3) {
  for (int version : {1, 2, 3}) {
    PutFile(p.files, "Tovren.exe", MakeGameExe(version));
    PutFile(p.files, "sn22\\sn22.pvb", Text("v2"));
    PatchGameExecutable(p.files, settings, version);
    EXPECT_EQ(Exists("sn22\\sn22.pvb"), version == 2) << version;
  }
  // Without the file there is nothing to remove and nothing fails.
  PutFile(p.files, "Tovren.exe", MakeGameExe(1));
  std::filesystem::remove(p.files.HostPath("sn22\\sn22.pvb"));
  EXPECT_NO_THROW(PatchGameExecutable(p.files, settings, 1));
}

// --- scene table -------------------------------------------------------------------------

// Counts presence tests by name.
class CountingFiles : public platform::Files {
 public:
  explicit CountingFiles(platform::Files& inner) : inner_(inner) {}
  std::optional<platform::FileInfo> Stat(const std::string& path) override {
    ++stats[path];
    return inner_.Stat(path);
  }
  Bytes ReadAll(const std::string& path) override { return inner_.ReadAll(path); }
  void WriteAt(const std::string& path, std::uint64_t offset, const Bytes& bytes) override {
    inner_.WriteAt(path, offset, bytes);
  }
  void WriteWhole(const std::string& path, const Bytes& bytes) override { inner_.WriteWhole(path, bytes); }
  void Replace(const std::string& s, const std::string& d) override { inner_.Replace(s, d); }
  void CreateFolder(const std::string& path) override { inner_.CreateFolder(path); }
  void Delete(const std::string& path) override { inner_.Delete(path); }
  std::map<std::string, int> stats;

 private:
  platform::Files& inner_;
};

class SceneTable : public GameFolder {
 protected:
  void SetUp() override {
    PutFile(p.files, "Tovren.res", MakeGameRes());
    for (int scene = 1; scene <= 22; ++scene) PutFile(p.files, ScenePackName(scene), Text("s"));
    for (int track = 1; track <= 10; ++track) PutFile(p.files, TrackFileName(track), Text("m"));
  }
  void Remove(const std::string& name) { std::filesystem::remove(p.files.HostPath(name)); }
  // The installed file with these bytes changed.
  Bytes Installed(std::initializer_list<std::pair<std::uint32_t, std::uint8_t>> changes) {
    Bytes b = MakeGameRes();
    for (auto [at, value] : changes) b.at(at) = value;
    return b;
  }
};

TEST_F(SceneTable, EverythingPresentLeavesTheFileAsInstalledTestingEachFileOnce) {
  CountingFiles counting(p.files);
  PatchSceneTable(counting);
  EXPECT_EQ(FirstDifference(Read("Tovren.res"), MakeGameRes()), "");
  for (int scene = 1; scene <= 22; ++scene) EXPECT_EQ(counting.stats[ScenePackName(scene)], 1);
  for (int track = 1; track <= 10; ++track) EXPECT_EQ(counting.stats[TrackFileName(track)], 1);
  EXPECT_EQ(Read("Tovren.res")[SceneTrackAt(21)], 0x0A);  // track 10 is written as 0A
}

TEST_F(SceneTable, AMissingScenePackMarksOnlyItsScene) {
  Remove("sn05.pak");
  PatchSceneTable(p.files);
  EXPECT_EQ(FirstDifference(Read("Tovren.res"), Installed({{60279, 0x0A}})), "");
}

TEST_F(SceneTable, AMissingTrackIsReplacedInEveryScenePlayingIt) {
  Remove("music\\s5.mp3");
  PatchSceneTable(p.files);
  EXPECT_EQ(FirstDifference(Read("Tovren.res"),
                            Installed({{60218, 0x0B}, {60372, 0x0B}, {61296, 0x0B}, {61606, 0x0B}})),
            "");
}

TEST_F(SceneTable, OnlyANormalFileCountsAsPresent) {
  Remove("sn07.pak");
  std::filesystem::create_directory(p.files.HostPath("sn07.pak"));  // a folder
  p.files.SetAttributes("sn13.pak", true, false);                   // hidden
  p.files.SetAttributes("music\\s1.mp3", false, true);              // system
  PatchSceneTable(p.files);
  EXPECT_EQ(FirstDifference(Read("Tovren.res"), Installed({{60433, 0x0A},
                                           {60895, 0x0A},
                                           {60834, 0x0B},
                                           {60988, 0x0B}})), "");
}

TEST_F(SceneTable, NothingInstalledMarksEveryScene) {
  for (int scene = 1; scene <= 22; ++scene) Remove(ScenePackName(scene));
  for (int track = 1; track <= 10; ++track) Remove(TrackFileName(track));
  PatchSceneTable(p.files);
  Bytes want = MakeGameRes();
  for (int scene = 1; scene <= 22; ++scene) {
    want[SceneMarkAt(scene)] = 0x0A;
    want[SceneTrackAt(scene)] = 0x0B;
  }
  EXPECT_EQ(FirstDifference(Read("Tovren.res"), want), "");
}

TEST_F(SceneTable, RefusesAMissingOrShortResourceFileAndWritesNothing) {
  Remove("Tovren.res");
  EXPECT_THROW(PatchSceneTable(p.files), core::UserError);
  EXPECT_FALSE(Exists("Tovren.res"));

  Bytes shortRes = MakeGameRes();
  shortRes.resize(61606);  // the last track byte lies at 61606
  PutFile(p.files, "Tovren.res", shortRes);
  EXPECT_THROW(PatchSceneTable(p.files), core::UserError);
  EXPECT_EQ(FirstDifference(Read("Tovren.res"), shortRes), "");

  shortRes.resize(61607);
  PutFile(p.files, "Tovren.res", shortRes);
  EXPECT_NO_THROW(PatchSceneTable(p.files));
}

TEST_F(SceneTable, AWriteFailureBecomesAMessage) {
  p.files.FailWrites("Tovren.res");
  try {
    PatchSceneTable(p.files);
    FAIL() << "no error";
  } catch (const core::UserError& e) {
    EXPECT_NE(e.message().find("Tovren.res"), std::string::npos);
  }
}

}  // namespace
}  // namespace tovren::launch
