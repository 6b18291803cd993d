// Loading and saving zarnu\zarnu.res on the simulated platform's real files.
#include "core/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/field_rules.h"
#include "core/paths.h"
#include "platform/api/codepage.h"
#include "platform/api/errors.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/core/recording_view.h"

namespace tovren::core {
namespace {

using testing_support::RecordingView;
namespace fs = std::filesystem;

// What a save writes over no file at all: the five sections, every default, the notice.
const std::string kDefaultFile =
    "[版本]\r\n编号=1\r\n"
    "[配置]\r\n复选1=0\r\n复选2=0\r\n复选3=0\r\n复选4=0\r\n"
    "[网络]\r\n复选5=0\r\n复选6=0\r\n复选7=0\r\n复选8=0\r\n路径=\r\n"
    "[设置]\r\n血量1=50\r\n血量2=100\r\n血量3=150\r\n血量4=200\r\n血量5=300\r\n"
    "时间1=1\r\n时间2=3\r\n时间3=5\r\n时间4=10\r\n时间5=15\r\n"
    "场次1=1\r\n场次2=3\r\n场次3=5\r\n场次4=9\r\n场次5=15\r\n场次6=21\r\n场次7=27\r\n场次8=OO\r\n"
    "人数=16\r\n"
    "[关于]\r\n注意=本文件由程序自动生成，请勿手动修改！否则可能会使程序无法正常运行！\r\n";

// kDefaultFile with the edits applied in turn (each `from` must be there).
std::string Edit(std::vector<std::pair<std::string, std::string>> edits, std::string text = kDefaultFile) {
  for (const auto& [from, to] : edits) {
    auto at = text.find(from);
    if (at == std::string::npos) throw std::logic_error("fixture edit not found: " + from);
    text.replace(at, from.size(), to);
  }
  return text;
}

// The file with every setting's value emptied; the notice keeps its text.
std::string WithEmptyValues(const std::string& file) {
  std::string out;
  std::size_t start = 0;
  while (start < file.size()) {
    std::size_t end = file.find("\r\n", start);
    std::string line = file.substr(start, end - start);
    auto eq = line.find('=');
    if (eq != std::string::npos && line.rfind("注意=", 0) != 0) line.erase(eq + 1);
    out += line + "\r\n";
    start = end + 2;
  }
  return out;
}

class SettingsFileTest : public testing::Test {
 protected:
  const std::string kPath = "C:\\Game\\zarnu\\zarnu.res";

  void SetUp() override { InstallFieldRules(settings, view); }

  fs::path Host(const std::string& p) { return sim.files.HostPath(p); }

  void WriteRaw(const std::string& bytes) {
    fs::create_directories(Host("C:\\Game\\zarnu"));
    std::ofstream(Host(kPath), std::ios::binary) << bytes;
  }
  void WriteFile(const std::string& utf8) { WriteRaw(platform::Utf8ToGbk(utf8)); }
  std::string RawFile() {
    std::ifstream in(Host(kPath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string FileText() { return platform::GbkToUtf8(RawFile()); }
  bool TempLeft() { return fs::exists(Host(kPath + ".tmp")); }
  int Count(const std::string& logPrefix) {
    int n = 0;
    for (const auto& line : sim.files.log()) n += line.rfind(logPrefix, 0) == 0;
    return n;
  }
  std::optional<UserError> Load() { return LoadSettings(settings, sim.files, sim.system); }
  std::optional<UserError> Save() { return SaveSettings(settings, sim.files, sim.system); }

  sim::TempDir dir;
  sim::SimPlatform sim{dir.path()};
  Settings settings;
  RecordingView view;
};

TEST_F(SettingsFileTest, FirstRunKeepsDefaultsAndSaveWritesTheFiveSections) {
  EXPECT_FALSE(Load());
  EXPECT_TRUE(view.calls.empty());
  EXPECT_FALSE(fs::exists(Host("C:\\Game\\zarnu")));  // the start creates it, not the load

  EXPECT_FALSE(Save());
  EXPECT_EQ(RawFile(), platform::Utf8ToGbk(kDefaultFile));
  EXPECT_FALSE(TempLeft());
}

struct LoadSaveCase {
  const char* name;
  std::string file;                        // as the player left it
  std::map<int, std::string> fields;       // row of the table -> value after the load
  std::string afterLoad;                   // the file after the load
  std::string afterSave;                   // the file after the save that follows
};

void PrintTo(const LoadSaveCase& c, std::ostream* os) { *os << c.name; }

// The load removes the empty path entry that every save with no platform path writes.
std::string Loaded(std::string file) {
  auto at = file.find("路径=\r\n");
  if (at != std::string::npos) file.erase(at, std::string("路径=\r\n").size());
  return file;
}

class LoadThenSave : public SettingsFileTest, public testing::WithParamInterface<LoadSaveCase> {};

TEST_P(LoadThenSave, ReadsAndWritesInTableOrder) {
  const LoadSaveCase& c = GetParam();
  WriteFile(c.file);
  EXPECT_FALSE(Load());

  // Rows not named hold what the default file holds.
  Settings defaults;
  auto expected = SettingFields(defaults);
  auto got = SettingFields(settings);
  for (std::size_t row = 0; row < got.size(); ++row) {
    auto named = c.fields.find(static_cast<int>(row));
    const std::string& want = named != c.fields.end() ? named->second : expected[row]->Text();
    EXPECT_EQ(got[row]->Text(), want) << "row " << row << " (" << kSettingKeys[row].key << ")";
  }
  EXPECT_EQ(FileText(), c.afterLoad);
  EXPECT_EQ(Count("WriteWhole"), c.afterLoad == c.file ? 0 : 1);

  EXPECT_FALSE(Save());
  EXPECT_EQ(FileText(), c.afterSave);
  EXPECT_FALSE(TempLeft());
}

const std::string kPath300(300, 'p');

INSTANTIATE_TEST_SUITE_P(
    Table, LoadThenSave,
    testing::Values(
        LoadSaveCase{"PlayerCountMissing", Edit({{"人数=16\r\n", ""}}), {{28, ""}},
                     Loaded(Edit({{"人数=16\r\n", ""}})), Edit({{"人数=16", "人数="}})},
        LoadSaveCase{"EmptyPlayerCountRemovedAtLoadSavedAgain", Edit({{"人数=16", "人数="}}), {{28, ""}},
                     Loaded(Edit({{"人数=16\r\n", ""}})), Edit({{"人数=16", "人数="}})},
        LoadSaveCase{"EmptyEntryComesBackAtTheEndOfItsSection", Edit({{"血量2=100", "血量2="}}), {{11, ""}},
                     Loaded(Edit({{"血量2=100\r\n", ""}})),
                     Edit({{"血量2=100\r\n", ""}, {"人数=16\r\n", "人数=16\r\n血量2=\r\n"}})},
        LoadSaveCase{"RoundValueWinsTheMirroredPair",
                     Edit({{"时间1=1", "时间1=2"}, {"场次1=1", "场次1=4"}, {"时间4=10", "时间4=12"}, {"场次4=9", "场次4=10"}}),
                     {{15, "4"}, {20, "4"}, {18, "12"}, {23, "10"}},
                     Loaded(Edit({{"时间1=1", "时间1=2"}, {"场次1=1", "场次1=4"}, {"时间4=10", "时间4=12"}, {"场次4=9", "场次4=10"}})),
                     Edit({{"时间1=1", "时间1=4"}, {"场次1=1", "场次1=4"}, {"时间4=10", "时间4=12"}, {"场次4=9", "场次4=10"}})},
        LoadSaveCase{"WordYesSavedBackUnchanged", Edit({{"复选3=0", "复选3=yes"}}), {{3, "yes"}},
                     Loaded(Edit({{"复选3=0", "复选3=yes"}})), Edit({{"复选3=0", "复选3=yes"}})},
        LoadSaveCase{"BlanksAroundNamesAndEquals", Edit({{"[版本]\r\n编号=1", " [ 版本 ] \r\n  编号  =  2  "}}), {{0, "2"}},
                     Loaded(Edit({{"[版本]\r\n编号=1", " [ 版本 ] \r\n  编号  =  2  "}})),
                     Edit({{"[版本]\r\n编号=1", " [ 版本 ] \r\n  编号  =  2  "}})},
        LoadSaveCase{"LongPathCutTo254Bytes", Edit({{"路径=", "路径=" + kPath300}}), {{9, std::string(254, 'p')}},
                     Edit({{"路径=", "路径=" + kPath300}}), Edit({{"路径=", "路径=" + std::string(254, 'p')}})},
        LoadSaveCase{"NoticeEditedIsRewritten", Edit({{"本文件由程序自动生成", "随便"}}), {},
                     Loaded(Edit({{"本文件由程序自动生成", "随便"}})), kDefaultFile},
        LoadSaveCase{"NoticeDeletedIsRewritten", Edit({{"[关于]\r\n", ""}, {"注意=本文件由程序自动生成，请勿手动修改！否则可能会使程序无法正常运行！\r\n", ""}}),
                     {}, Loaded(Edit({{"[关于]\r\n", ""}, {"注意=本文件由程序自动生成，请勿手动修改！否则可能会使程序无法正常运行！\r\n", ""}})),
                     kDefaultFile},
        LoadSaveCase{"OtherEntriesKeptInTheirPlace",
                     "; 玩家的笔记\n[设置]\n人数=4\n我的键=值\n[别的]\nx=1\n",
                     {{0, ""}, {1, ""}, {2, ""}, {3, ""}, {4, ""}, {5, ""}, {6, ""}, {7, ""}, {8, ""}, {9, ""},
                      {10, ""}, {11, ""}, {12, ""}, {13, ""}, {14, ""}, {15, ""}, {16, ""}, {17, ""}, {18, ""},
                      {19, ""}, {20, ""}, {21, ""}, {22, ""}, {23, ""}, {24, ""}, {25, ""}, {26, ""}, {27, ""}, {28, "4"}},
                     "; 玩家的笔记\n[设置]\n人数=4\n我的键=值\n[别的]\nx=1\n",
                     "; 玩家的笔记\r\n[设置]\r\n人数=4\r\n我的键=值\r\n"
                     "血量1=\r\n血量2=\r\n血量3=\r\n血量4=\r\n血量5=\r\n时间1=\r\n时间2=\r\n时间3=\r\n时间4=\r\n时间5=\r\n"
                     "场次1=\r\n场次2=\r\n场次3=\r\n场次4=\r\n场次5=\r\n场次6=\r\n场次7=\r\n场次8=\r\n"
                     "[别的]\r\nx=1\r\n"
                     "[版本]\r\n编号=\r\n[配置]\r\n复选1=\r\n复选2=\r\n复选3=\r\n复选4=\r\n"
                     "[网络]\r\n复选5=\r\n复选6=\r\n复选7=\r\n复选8=\r\n路径=\r\n"
                     "[关于]\r\n注意=本文件由程序自动生成，请勿手动修改！否则可能会使程序无法正常运行！\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsFileTest, LoadRunsTheRulesAsItGoes) {
  WriteFile(Edit({{"编号=1", "编号=2"}, {"复选8=0", "复选8=1"}, {"路径=", "路径=D:\\Play\\run.exe"}}));
  EXPECT_FALSE(Load());
  EXPECT_EQ(view.versionPicture, "ojb0902");
  EXPECT_EQ(view.checkBoxPictures[7], "ojb0803");
  EXPECT_EQ(view.labelColor, kPathLabelEnabled);
  EXPECT_EQ(view.caption, "D:\\...lay\\run.exe");
}

TEST_F(SettingsFileTest, HiddenSystemFileIsStillTheSettingsFile) {
  WriteFile(Edit({{"编号=1", "编号=3"}, {"人数=16", "人数=8"}}));
  sim.files.SetAttributes(kPath, /*hidden=*/true, /*system=*/true);
  EXPECT_FALSE(Load());
  EXPECT_EQ(settings.版本编号.Text(), "3");
  EXPECT_EQ(settings.人数.Text(), "8");
  EXPECT_FALSE(Save());
  EXPECT_EQ(FileText(), Edit({{"编号=1", "编号=3"}, {"人数=16", "人数=8"}}));
}

TEST_F(SettingsFileTest, ChineseRoundTripIsByteExactInGbk) {
  const std::string path = "D:\\游戏平台\\启动.exe";
  WriteFile(Edit({{"路径=", "路径=" + path}, {"人数=16", "人数=十六"}}));
  const std::string before = RawFile();
  ASSERT_NE(before.find("\xD3\xCE\xCF\xB7\xC6\xBD\xCC\xA8"), std::string::npos);  // 游戏平台 in GBK
  EXPECT_FALSE(Load());
  EXPECT_EQ(settings.路径.Text(), path);
  EXPECT_EQ(settings.人数.Text(), "十六");
  EXPECT_FALSE(Save());
  EXPECT_EQ(RawFile(), before);

  // And from the fields into a new file and back into new fields.
  fs::remove(Host(kPath));
  settings.路径.Set("C:\\网络对战\\平台.exe");
  EXPECT_FALSE(Save());
  Settings again;
  EXPECT_FALSE(LoadSettings(again, sim.files, sim.system));
  EXPECT_EQ(again.路径.Text(), "C:\\网络对战\\平台.exe");
  EXPECT_EQ(RawFile(), platform::Utf8ToGbk(Edit({{"路径=", "路径=C:\\网络对战\\平台.exe"}, {"人数=16", "人数=十六"}})));
}

TEST_F(SettingsFileTest, NeitherLoadNorSaveWritesAnUnchangedFile) {
  WriteFile(Edit({{"路径=", "路径=D:\\p.exe"}}));
  EXPECT_FALSE(Load());
  EXPECT_FALSE(Save());
  EXPECT_EQ(Count("WriteWhole"), 0);
  EXPECT_EQ(Count("Replace"), 0);
}

TEST_F(SettingsFileTest, FailedSaveLeavesTheOldFileIntact) {
  for (std::uint32_t code : {platform::kErrorAccessDenied, platform::kErrorDiskFull}) {
    SCOPED_TRACE(code);
    WriteFile(kDefaultFile);
    sim.files.ClearFailures();
    sim.files.FailWrites(kPath, code);
    settings.版本编号.Set(settings.版本编号.Text() == "2" ? "3" : "2");
    auto error = Save();
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->message().empty());
    EXPECT_EQ(error->message().find("磁盘空间不足") != std::string::npos, code == platform::kErrorDiskFull);
    EXPECT_EQ(FileText(), kDefaultFile);
    EXPECT_FALSE(TempLeft());
  }
}

// Writes go to the real files; the replace step fails, as it does when another program
// holds the settings file open.
class ReplaceRefusingFiles : public platform::Files {
 public:
  explicit ReplaceRefusingFiles(platform::Files& inner) : inner_(inner) {}
  std::optional<platform::FileInfo> Stat(const std::string& p) override { return inner_.Stat(p); }
  platform::Bytes ReadAll(const std::string& p) override { return inner_.ReadAll(p); }
  void WriteAt(const std::string& p, std::uint64_t o, const platform::Bytes& b) override { inner_.WriteAt(p, o, b); }
  void WriteWhole(const std::string& p, const platform::Bytes& b) override { inner_.WriteWhole(p, b); }
  void Replace(const std::string&, const std::string& dest) override {
    throw platform::OsError("replace " + dest, platform::kErrorAccessDenied);
  }
  void CreateFolder(const std::string& p) override { inner_.CreateFolder(p); }
  void Delete(const std::string& p) override { inner_.Delete(p); }

 private:
  platform::Files& inner_;
};

TEST_F(SettingsFileTest, FailedReplaceRemovesTheTemporaryFile) {
  WriteFile(kDefaultFile);
  settings.人数.Set("4");
  ReplaceRefusingFiles files(sim.files);
  auto error = SaveSettings(settings, files, sim.system);
  ASSERT_TRUE(error);
  EXPECT_EQ(Count("WriteWhole zarnu/zarnu.res.tmp"), 1);
  EXPECT_FALSE(TempLeft());
  EXPECT_EQ(FileText(), kDefaultFile);
}

TEST_F(SettingsFileTest, FailedRemovalAtLoadStillLoads) {
  WriteFile(Edit({{"人数=16", "人数="}, {"编号=1", "编号=2"}}));
  sim.files.FailWrites("C:\\Game\\zarnu");
  EXPECT_FALSE(Load());
  EXPECT_EQ(settings.版本编号.Text(), "2");
  EXPECT_EQ(settings.人数.Text(), "");
  EXPECT_EQ(FileText(), Edit({{"人数=16", "人数="}, {"编号=1", "编号=2"}}));
}

TEST_F(SettingsFileTest, AFolderInPlaceOfTheFileIsNoSettingsFile) {
  fs::create_directories(Host(kPath));
  EXPECT_FALSE(Load());
  EXPECT_EQ(settings.人数.Text(), "16");
  EXPECT_TRUE(Save());
  EXPECT_TRUE(fs::is_directory(Host(kPath)));
}

TEST_F(SettingsFileTest, GarbageFileLoadsEmptyAndKeepsItsBytes) {
  using namespace std::string_literals;
  WriteRaw("\x00\xFF\xFE[\x81]\n=\x81\x5D\r\n\r\x7F garbage"s);
  EXPECT_FALSE(Load());
  for (const Field* f : SettingFields(settings)) EXPECT_EQ(f->Text(), "");
  EXPECT_FALSE(Save());
  const std::string kept = "\x00\xFF\xFE[\x81]\r\n=\x81\x5D\r\n\r\x7F garbage\r\n"s;
  const std::string saved = RawFile();
  ASSERT_EQ(saved.substr(0, kept.size()), kept);
  EXPECT_EQ(platform::GbkToUtf8(saved.substr(kept.size())), WithEmptyValues(kDefaultFile));
}

TEST_F(SettingsFileTest, ReadResValueWritesTheDefaultBack) {
  WriteFile("[设置]\r\n人数=\r\n");
  EXPECT_EQ(ReadResValue(sim.files, "设置", "人数", std::string("16"), kPath), "16");
  EXPECT_EQ(ReadResValue(sim.files, "设置", "场次8", std::string("OO"), kPath), "OO");
  EXPECT_EQ(FileText(), "[设置]\r\n人数=16\r\n场次8=OO\r\n");
  EXPECT_EQ(ReadResValue(sim.files, "设置", "人数", std::nullopt, kPath), "16");
  EXPECT_EQ(ReadResValue(sim.files, "版本", "编号", std::nullopt, kPath), "");
  EXPECT_EQ(FileText(), "[设置]\r\n人数=16\r\n场次8=OO\r\n");

  IniDocument doc = IniDocument::Parse(std::string("[A]\r\nk=x\0y\r\nn=\0\r\n", 17));
  EXPECT_EQ(ReadResValue(doc, "A", "k", std::nullopt), "x");  // up to the first NUL
  EXPECT_EQ(ReadResValue(doc, "A", "n", std::nullopt), "");
  EXPECT_EQ(doc.Serialize(), std::string("[A]\r\nk=x\0y\r\n", 12));
}

TEST(Paths, LauncherFolderAndSettingsFile) {
  const std::pair<const char*, const char*> folders[] = {
      {"C:\\Game\\TovrenLauncher.exe", "C:\\Game"},
      {"C:\\TovrenLauncher.exe", "C:\\"},
      {"D:\\游戏\\拳\\TovrenLauncher.exe", "D:\\游戏\\拳"},
      {"\\\\server\\share\\TovrenLauncher.exe", "\\\\server\\share"},
      {"TovrenLauncher.exe", ""},
  };
  for (const auto& [module, folder] : folders) EXPECT_EQ(FolderOf(module), folder) << module;

  sim::SimSystem atRoot("C:\\TovrenLauncher.exe");
  EXPECT_EQ(SettingsFilePath(atRoot), "C:\\zarnu\\zarnu.res");
  sim::SimSystem inFolder("E:\\Games\\Tovren\\TovrenLauncher.exe");
  EXPECT_EQ(LauncherFolder(inFolder), "E:\\Games\\Tovren");
  EXPECT_EQ(ZarnuFolder(inFolder), "E:\\Games\\Tovren\\zarnu");
  EXPECT_EQ(SettingsFilePath(inFolder), "E:\\Games\\Tovren\\zarnu\\zarnu.res");
}

}  // namespace
}  // namespace tovren::core
