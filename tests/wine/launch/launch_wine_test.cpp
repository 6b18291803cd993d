// The start press on the real Win32 services: real packs run hidden and waited for, real
// registry values, real files in a game folder with a Chinese name, and the stand-in
// config tool started at the end.
#include <windows.h>
#undef PostMessage

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <thread>

#include "core/user_error.h"
#include "launch/exe_patch.h"
#include "launch/launch_game.h"
#include "launch/payload.h"
#include "launch/press_handler.h"
#include "launch/scene_patch.h"
#include "launch/start_play.h"
#include "online/monitor.h"
#include "platform/api/desktop.h"
#include "platform/win32/files.h"
#include "platform/win32/processes.h"
#include "platform/win32/registry.h"
#include "platform/win32/resources.h"
#include "platform/win32/system.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "tests/unit/launch/expected_patch.h"
#include "tests/wine/platform_sys/sys_test_support.h"

namespace tovren::launch {
namespace {

using platform::Bytes;
using win32::Utf8;
using win32::Wide;
using namespace testing;

// --- helpers that bypass the code under test ----------------------------------------------

using win32::test::FreshTempPath;
using win32::test::RemoveTree;

std::optional<Bytes> RawRead(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::nullopt;
  Bytes out;
  std::uint8_t buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.insert(out.end(), buf, buf + got);
  CloseHandle(f);
  return out;
}

bool RawWrite(const std::wstring& path, const Bytes& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == bytes.size();
}

// The files of a stand-in pack, read straight from its bytes (the layout of
// standins/sfx_format.h): what the pack must have put into the game folder.
std::map<std::string, Bytes> PackContents(const Bytes& pack) {
  auto u32 = [&](std::size_t at) {
    return std::uint32_t(pack.at(at)) | std::uint32_t(pack.at(at + 1)) << 8 |
           std::uint32_t(pack.at(at + 2)) << 16 | std::uint32_t(pack.at(at + 3)) << 24;
  };
  const std::size_t footer = pack.size() - 20;
  EXPECT_EQ(std::memcmp(pack.data() + footer, "TVSFXEND", 8), 0);
  std::size_t pos = u32(footer + 8);
  EXPECT_EQ(std::memcmp(pack.data() + pos, "TVSFXARC", 8), 0);
  std::uint32_t count = u32(pos + 8);
  pos += 12;
  std::map<std::string, Bytes> files;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::size_t nameLength = pack.at(pos) | pack.at(pos + 1) << 8;
    std::string name(pack.begin() + pos + 2, pack.begin() + pos + 2 + nameLength);
    pos += 2 + nameLength;
    std::uint32_t size = u32(pos);
    files[name] = Bytes(pack.begin() + pos + 4, pack.begin() + pos + 4 + size);
    pos += 4 + size;
  }
  return files;
}

// Removes every place the game's key may have reached, seen from the 64-bit side.
void DeleteGameKeys() {
  HKEY software = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &software) !=
      ERROR_SUCCESS)
    return;
  for (const wchar_t* key : {L"Corvane", L"Wow6432Node\\Corvane", L"Wow6432Node\\Wow6432Node\\Corvane"})
    RegDeleteTreeW(software, key);
  RegCloseKey(software);
}

// --- fakes for the parts that are not under test -------------------------------------------

// The launcher's own path inside the game folder: the registry values and the config
// tool's command line are made from it.
class GameFolderSystem : public platform::System {
 public:
  std::string folder;
  std::string ModulePath() override { return folder + "\\TovrenLauncher.exe"; }
  bool Is64BitWindows() override { return win32::Win32System().Is64BitWindows(); }
  std::string CurrentFolder() override { return folder; }
};

class RecordingHost : public LaunchHost {
 public:
  void ShowButtonPicture(int element, const std::string& bitmap) override { pictures[element] = bitmap; }
  void HideMainWindows() override { visible = false; }
  void ShowMainWindows() override { visible = true; }
  void CloseMain() override {}
  void SetStatus(const std::string& tip) override { statuses.push_back(tip); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::map<int, std::string> pictures;
  std::vector<std::string> statuses, messages;
  bool visible = true;
};

class RecordingOnline : public OnlineSteps {
 public:
  void RefreshList(int list, std::string&) override { calls.push_back("refresh " + std::to_string(list)); }
  void OpenSubmitter(int list) override { calls.push_back("submit " + std::to_string(list)); }
  std::vector<std::string> calls;
};

// --- fixture ---------------------------------------------------------------------------

// A fresh game folder, named in Chinese, as the process's current folder.
class WineGameFolder : public ::testing::Test {
 protected:
  win32::Win32Files files;
  win32::Win32Resources resources;
  win32::Win32Processes processes;
  win32::Win32Registry registry;
  GameFolderSystem system;
  LaunchServices services{files, resources, processes, registry, system};
  std::wstring folder;
  wchar_t previous[MAX_PATH * 2] = {};

  void SetUp() override {
    folder = FreshTempPath(L"tovren_游戏_");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    GetCurrentDirectoryW(MAX_PATH * 2, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    system.folder = Utf8(folder);
  }

  void TearDown() override {
    EndGamePrograms();
    WaitForNoArchive();
    SetCurrentDirectoryW(previous);
    RemoveTree(folder);
  }

  std::wstring In(const std::string& name) { return folder + L"\\" + Wide(name); }
  std::optional<Bytes> Read(const std::string& name) { return RawRead(In(name)); }
  bool Exists(const std::string& name) { return GetFileAttributesW(In(name).c_str()) != INVALID_FILE_ATTRIBUTES; }

  Bytes Resource(const std::string& type, const std::string& name) {
    std::optional<Bytes> bytes = resources.Load(type, name);
    EXPECT_TRUE(bytes.has_value()) << type << "/" << name;
    return bytes.value_or(Bytes{});
  }

  // The packs rename themselves to a hidden ".~sfx*.tmp" and leave a helper that
  // deletes it about two seconds after they end.
  bool WaitForNoArchive(int ms = 10000) {
    for (int waited = 0;; waited += 100) {
      WIN32_FIND_DATAW found;
      HANDLE find = FindFirstFileW((folder + L"\\.~sfx*").c_str(), &found);
      if (find == INVALID_HANDLE_VALUE) return true;
      FindClose(find);
      if (waited >= ms) return false;
      Sleep(100);
    }
  }

  // The config tool starts the game; neither may outlive the test (the game holds its
  // executable open, and the next pack must overwrite it).
  void EndGamePrograms() {
    for (int round = 0; round < 20; ++round) {
      bool any = false;
      for (const auto& p : processes.List()) {
        if (_stricmp(p.exeName.c_str(), "Tovren.exe") == 0 || _stricmp(p.exeName.c_str(), "config.exe") == 0) {
          HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, p.pid);
          if (h) {
            TerminateProcess(h, 0);
            WaitForSingleObject(h, 5000);
            CloseHandle(h);
          }
          any = true;
        }
      }
      if (!any) return;
    }
  }

  // The stand-in config tool writes config.ini, then starts the game.
  bool WaitForConfigToolRun(int ms = 15000) {
    for (int waited = 0; waited < ms; waited += 100) {
      if (auto ini = Read("config.ini")) {
        std::string text(ini->begin(), ini->end());
        if (text.find("FullScreen 0") != std::string::npos) return true;
      }
      Sleep(100);
    }
    return false;
  }

  void WaitForGameToStart(int ms = 5000) {
    for (int waited = 0; waited < ms; waited += 100) {
      for (const auto& p : processes.List())
        if (_stricmp(p.exeName.c_str(), "Tovren.exe") == 0) return;
      Sleep(100);
    }
  }
};

TEST_F(WineGameFolder, TheRealPackRunsHiddenWaitedForAndLeavesNoArchive) {
  InstallPayload(services, "VSN", "2", "vsn.exe");
  // Waited for: everything is there the moment InstallPayload returns.
  for (const auto& [name, bytes] : PackContents(Resource("VSN", "2"))) {
    std::optional<Bytes> got = Read(name);
    ASSERT_TRUE(got.has_value()) << name;
    EXPECT_EQ(FirstDifference(*got, bytes), "") << name;
  }
  EXPECT_TRUE(Exists("sn22\\sn22.pvb"));
  EXPECT_FALSE(Exists("vsn.exe"));
  EXPECT_TRUE(WaitForNoArchive());
}

// A pack cut short in the launcher's resources: the stub refuses it and exits non-zero.
class HalfResources : public platform::Resources {
 public:
  explicit HalfResources(platform::Resources& inner) : inner_(inner) {}
  std::optional<Bytes> Load(const std::string& type, const std::string& name) override {
    std::optional<Bytes> bytes = inner_.Load(type, name);
    if (bytes) bytes->resize(bytes->size() / 2);
    return bytes;
  }
  bool HasBitmap(const std::string& name) override { return inner_.HasBitmap(name); }

 private:
  platform::Resources& inner_;
};

TEST_F(WineGameFolder, AFailedPackIsReportedAndRemoved) {
  HalfResources half(resources);
  LaunchServices broken{files, half, processes, registry, system};
  try {
    InstallPayload(broken, "VSN", "1", "vsn.exe");
    ADD_FAILURE() << "a failed pack was taken for a good one";
  } catch (const core::UserError& e) {
    EXPECT_NE(e.message().find("vsn.exe"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(Exists("Tovren.exe"));  // the stub checks the whole archive first
  EXPECT_FALSE(Exists("vsn.exe"));
  EXPECT_TRUE(WaitForNoArchive());
}

// Packs of the stand-in stub that end with a chosen exit code, in place of the resources:
// ("EXIT", "1") is the good fixture pack ending with 1.
class ExitCodePacks : public platform::Resources {
 public:
  std::optional<Bytes> Load(const std::string& type, const std::string& name) override {
    if (type != "EXIT") return std::nullopt;
    return RawRead(TestFolder() + L"\\" + Wide(LAUNCH_FIXTURES_REL) + L"\\exit_" + Wide(name) + L".exe");
  }
  bool HasBitmap(const std::string&) override { return false; }
  static std::wstring TestFolder() {
    wchar_t self[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\'));
  }
};

TEST_F(WineGameFolder, APackEndingWithWarningsOnlyIsInstalledAndAFailureStopsTheStart) {
  ExitCodePacks packs;
  LaunchServices withCodes{files, packs, processes, registry, system};
  for (const char* code : {"0", "1", "2", "255"}) {
    SCOPED_TRACE(code);
    DeleteFileW(In("hello.txt").c_str());
    std::string message;
    try {
      InstallPayload(withCodes, "EXIT", code, "vsn.exe");
    } catch (const core::UserError& e) {
      message = e.message();
    }
    const bool failed = std::string(code) == "2" || std::string(code) == "255";
    EXPECT_EQ(message.empty(), !failed) << message;
    if (failed) {
      EXPECT_NE(message.find(std::string("（退出代码 ") + code + "）"), std::string::npos) << message;
    }
    EXPECT_TRUE(Exists("hello.txt"));  // the stub extracted before it reported
    EXPECT_FALSE(Exists("vsn.exe"));
    EXPECT_FALSE(Exists(".sfx-exit-code"));
  }
}

TEST_F(WineGameFolder, RegistryValuesLandInThe32BitViewTheGameReads) {
  const std::string launcherFolder = "D:\\游戏\\Tovren";
  for (const char* switch4 : {"0", "1"}) {
    DeleteGameKeys();
    core::Settings settings;
    settings.复选框辅助[3].Set(switch4);
    RegisterGame(registry, settings, launcherFolder, system.Is64BitWindows());

    auto value = [](REGSAM view, const wchar_t* key, const wchar_t* name) -> std::optional<std::wstring> {
      HKEY opened = nullptr;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, &opened) != ERROR_SUCCESS)
        return std::nullopt;
      wchar_t data[512] = {};
      DWORD size = sizeof data - sizeof(wchar_t), type = 0;
      LSTATUS status = RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
      RegCloseKey(opened);
      if (status != ERROR_SUCCESS) return std::nullopt;
      EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << Utf8(name);
      return std::wstring(data);
    };
    // Where a 32-bit game looks, and the same key seen from the 64-bit side: with switch
    // 4 the launcher names the Wow6432Node key itself, which must be that same key and
    // not a second Wow6432Node inside it. A 32-bit Windows has no such key at all: there
    // the name would be a plain subkey, which must not be made.
    const bool wow64 = system.Is64BitWindows();
    EXPECT_EQ(value(KEY_WOW64_32KEY, L"Software\\Corvane\\Tovren", L"Path"), Wide(launcherFolder + "\\"))
        << "switch 4 = " << switch4 << (wow64 ? ", 64-bit" : ", 32-bit");
    EXPECT_EQ(value(KEY_WOW64_32KEY, L"Software\\Corvane\\Tovren", L"Exe"),
              Wide(launcherFolder + "\\tovren.exe"));
    EXPECT_EQ(value(KEY_WOW64_64KEY, L"Software\\Wow6432Node\\Corvane\\Tovren", L"Exe"),
              wow64 ? std::optional(Wide(launcherFolder + "\\tovren.exe")) : std::nullopt);
    EXPECT_EQ(value(KEY_WOW64_64KEY, L"Software\\Wow6432Node\\Wow6432Node\\Corvane\\Tovren", L"Exe"),
              std::nullopt);
  }
  DeleteGameKeys();
}

TEST_F(WineGameFolder, PresenceOnRealFilesSeesAttributes) {
  InstallPayload(services, "VSN", "1", "vsn.exe");
  const Bytes installed = *Read("Tovren.res");
  SetFileAttributesW(In("sn05.pak").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(In("music\\s5.mp3").c_str(), FILE_ATTRIBUTE_SYSTEM);
  DeleteFileW(In("sn07.pak").c_str());
  CreateDirectoryW(In("sn07.pak").c_str(), nullptr);
  DeleteFileW(In("sn09.pak").c_str());
  PatchSceneTable(files);

  Bytes want = installed;
  want[SceneMarkAt(5)] = 0x0A;
  want[SceneMarkAt(7)] = 0x0A;
  want[SceneMarkAt(9)] = 0x0A;
  for (int scene = 1; scene <= 22; ++scene)
    if (SceneTrack(scene) == 5) want[SceneTrackAt(scene)] = 0x0B;
  EXPECT_EQ(FirstDifference(*Read("Tovren.res"), want), "");
}

TEST_F(WineGameFolder, MissingOrShortGameFilesAreNeitherCreatedNorExtended) {
  core::Settings settings;
  EXPECT_THROW(PatchGameExecutable(files, settings, 1), core::UserError);
  EXPECT_THROW(PatchSceneTable(files), core::UserError);
  EXPECT_FALSE(Exists("Tovren.exe"));
  EXPECT_FALSE(Exists("Tovren.res"));
  const Bytes shortFile(4096, 0x11);
  RawWrite(In("Tovren.exe"), shortFile);
  RawWrite(In("Tovren.res"), shortFile);
  EXPECT_THROW(PatchGameExecutable(files, settings, 2), core::UserError);
  EXPECT_THROW(PatchSceneTable(files), core::UserError);
  EXPECT_EQ(Read("Tovren.exe"), shortFile);
  EXPECT_EQ(Read("Tovren.res"), shortFile);
}

TEST_F(WineGameFolder, ThePressTurnsAnEmptyFolderIntoAPreparedGameAndStartsTheConfigTool) {
  DeleteGameKeys();
  core::Settings settings;
  RecordingHost host;
  RecordingOnline online;
  GameLauncher launcher(services, settings, host, online);
  PressHandler handler(settings, host, launcher);
  settings.版本编号.Set("2");
  settings.复选框辅助[0].Set("1");
  settings.血量[1].Set("120");
  settings.时间[0].Set("中");
  settings.人数.Set("8");

  handler.OnPress(kStartButton, platform::kLeftButton);
  ASSERT_EQ(host.messages, std::vector<std::string>{});
  EXPECT_FALSE(host.visible);
  EXPECT_EQ(host.pictures[kStartButton], "ojb1801");
  EXPECT_EQ(host.statuses.back(), "Quellor.net");
  EXPECT_TRUE(online.calls.empty());

  auto v2 = PackContents(Resource("VSN", "2"));
  EXPECT_EQ(FirstDifference(*Read("Tovren.exe"), ApplyExpectedExePatch(v2["Tovren.exe"], 2, settings)), "");
  EXPECT_EQ(FirstDifference(*Read("Tovren.res"), v2["Tovren.res"]), "");  // every scene is there
  EXPECT_EQ(FirstDifference(*Read("config.exe"), Resource("EXE", "CONFIG")), "");
  EXPECT_EQ(FirstDifference(*Read("texture\\effect.tex"), PackContents(Resource("SOE", "ON"))["texture\\effect.tex"]), "");
  EXPECT_TRUE(Exists("sn22\\sn22.pvb"));
  EXPECT_FALSE(Exists("vsn.exe"));
  EXPECT_FALSE(Exists("soe.exe"));
  wchar_t path[512] = {};
  DWORD size = sizeof path - sizeof(wchar_t);
  HKEY key = nullptr;
  // Read as the 32-bit game reads it, whichever build this test is.
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Corvane\\Tovren", 0, KEY_READ | KEY_WOW64_32KEY, &key),
            ERROR_SUCCESS);
  ASSERT_EQ(RegQueryValueExW(key, L"Path", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(std::wstring(path), folder + L"\\");
  // The config tool ran from the full path of the game folder: it wrote its settings.
  EXPECT_TRUE(WaitForConfigToolRun());
  WaitForGameToStart();
  EndGamePrograms();

  // Version 1 over version 2, dust-free: the stray scene file goes, the other layout is
  // patched, and the config tool already there is used as it is.
  settings.版本编号.Set("1");
  settings.复选框辅助[1].Set("1");
  DeleteFileW(In("config.ini").c_str());
  handler.OnPress(kStartButton, platform::kLeftButton);
  ASSERT_EQ(host.messages, std::vector<std::string>{});
  auto v1 = PackContents(Resource("VSN", "1"));
  EXPECT_EQ(FirstDifference(*Read("Tovren.exe"), ApplyExpectedExePatch(v1["Tovren.exe"], 1, settings)), "");
  EXPECT_FALSE(Exists("sn22\\sn22.pvb"));
  EXPECT_EQ(FirstDifference(*Read("texture\\effect.tex"), PackContents(Resource("SOE", "OFF"))["texture\\effect.tex"]), "");
  EXPECT_TRUE(WaitForConfigToolRun());
  WaitForGameToStart();
  DeleteGameKeys();
}

// --- a game folder whose path holds blanks, with programs planted at its first words ------

// <temp>\tovren_plant_N\My Games\Tovren Gold\Game Folder, and a platform program in
// ...\My Games\Net Client\net client.exe. At the text up to every blank of those paths,
// followed by ".exe", stands a planted program: what a start that lets the system search
// the words of a path would run instead, with administrator rights. The programs meant
// to run are copies of the same recorder, so each run leaves "<its path>.ran".
class PlantedGameFolder : public WineGameFolder {
 protected:
  std::wstring base, netClient;
  std::vector<std::wstring> planted;

  void SetUp() override {
    base = FreshTempPath(L"tovren_plant_");
    for (const wchar_t* dir : {L"", L"\\My Games", L"\\My Games\\Tovren Gold",
                               L"\\My Games\\Tovren Gold\\Game Folder",
                               L"\\My Games\\Tovren Gold\\Game Folder\\zarnu",
                               L"\\My Games\\Net Client"})
      ASSERT_TRUE(CreateDirectoryW((base + dir).c_str(), nullptr));
    folder = base + L"\\My Games\\Tovren Gold\\Game Folder";
    netClient = base + L"\\My Games\\Net Client\\net client.exe";
    planted = {base + L"\\My.exe", base + L"\\My Games\\Tovren.exe",
               base + L"\\My Games\\Tovren Gold\\Game.exe", base + L"\\My Games\\Net.exe",
               base + L"\\My Games\\Net Client\\net.exe"};
    for (const auto& p : planted) ASSERT_TRUE(CopyFileW(Recorder().c_str(), p.c_str(), FALSE)) << Utf8(p);
    for (const auto& p : {In("config.exe"), In("zarnu\\zarnu_ip.exe"), netClient})
      ASSERT_TRUE(CopyFileW(Recorder().c_str(), p.c_str(), FALSE)) << Utf8(p);
    GetCurrentDirectoryW(MAX_PATH * 2, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    system.folder = Utf8(folder);
  }
  void TearDown() override {
    WineGameFolder::TearDown();
    RemoveTree(base);
  }

  static std::wstring Recorder() {
    return ExitCodePacks::TestFolder() + L"\\" + Wide(LAUNCH_TOOLS_REL) + L"\\tovren_planted.exe";
  }
  // What a recorder at that path was given, one line per run; "" when it never ran.
  static std::string Runs(const std::wstring& program) {
    std::optional<Bytes> log = RawRead(program + L".ran");
    return log ? std::string(log->begin(), log->end()) : "";
  }
  bool WaitForRun(const std::wstring& program, int ms = 15000) {
    for (int waited = 0; Runs(program).empty(); waited += 50) {
      if (waited >= ms) return false;
      Sleep(50);
    }
    return true;
  }
  std::vector<std::string> PlantedThatRan() {
    std::vector<std::string> ran;
    for (const auto& p : planted)
      if (!Runs(p).empty()) ran.push_back(Utf8(p) + ": " + Runs(p));
    return ran;
  }
};

TEST_F(PlantedGameFolder, EveryStartRunsTheProgramMeantAndNoPlantedOne) {
  // The plants are real: the same path handed to the system unquoted runs the first of them.
  {
    std::wstring careless = In("config.exe");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, careless.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    WaitForSingleObject(pi.hProcess, 15000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(WaitForRun(planted[0])) << "the planted My.exe did not stand in: the test proves nothing";
    ASSERT_EQ(Runs(In("config.exe")), "");
    DeleteFileW((planted[0] + L".ran").c_str());
  }

  // Both packs, from a folder three blanks deep.
  InstallPayload(services, "VSN", "1", "vsn.exe");
  InstallPayload(services, "SOE", "ON", "soe.exe");
  EXPECT_TRUE(Exists("Tovren.exe"));
  EXPECT_TRUE(Exists("texture\\effect.tex"));
  EXPECT_FALSE(Exists("vsn.exe"));
  EXPECT_EQ(PlantedThatRan(), std::vector<std::string>{}) << "after the packs";

  // The config tool, the platform program chosen with the browse dialog and one written as
  // a command line.
  core::Settings settings;
  RecordingHost host;
  RecordingOnline steps;
  const std::string launcherFolder = Utf8(folder);
  StartPlay(services, settings, steps, host, launcherFolder);
  ASSERT_TRUE(WaitForRun(In("config.exe"))) << ::testing::PrintToString(PlantedThatRan());
  EXPECT_EQ(Runs(In("config.exe")), "\"" + Utf8(In("config.exe")) + "\"\r\n");
  settings.复选框辅助[7].Set("1");
  settings.路径.Set(Utf8(netClient));
  StartPlay(services, settings, steps, host, launcherFolder);
  // The starts do not wait: the second comes once the first has written its line, so that
  // the two lines keep their order.
  ASSERT_TRUE(WaitForRun(netClient)) << ::testing::PrintToString(PlantedThatRan());
  settings.路径.Set("\"" + Utf8(netClient) + "\" -game tovren");
  StartPlay(services, settings, steps, host, launcherFolder);
  for (int waited = 0; Runs(netClient).find("-game") == std::string::npos && waited < 15000; waited += 50)
    Sleep(50);
  EXPECT_EQ(Runs(netClient), "\"" + Utf8(netClient) + "\"\r\n\"" + Utf8(netClient) + "\" -game tovren\r\n");
  // The same path without quotes names no file: refused, nothing started.
  settings.路径.Set(Utf8(netClient) + " -game tovren");
  EXPECT_THROW(StartPlay(services, settings, steps, host, launcherFolder), core::UserError);

  // The IP tool, started by the runtime monitor's driver on its first applying F8.
  win32::Win32Platform w;
  platform::Platform p{w.files, w.resources, w.processes, w.registry, w.http, w.desktop,
                       w.timers, w.keys, w.loop, w.clock, w.worker, system};
  online::MonitorOptions options;
  options.toolStartWaitMs = 300;  // the recorder opens no window to wait for
  options.pointWaitMs = 0;
  core::Settings monitorSettings;
  online::动态 monitor(p, monitorSettings, options);
  monitor.IP.Set("10.0.0.1");
  monitor.ApplyNextIp();  // counts
  monitor.ApplyNextIp();  // starts the tool
  ASSERT_TRUE(WaitForRun(In("zarnu\\zarnu_ip.exe"))) << ::testing::PrintToString(PlantedThatRan());

  // A planted program that had been started would have written by now.
  Sleep(1000);
  EXPECT_EQ(PlantedThatRan(), std::vector<std::string>{});
}

}  // namespace
}  // namespace tovren::launch
