#pragma once
// Game files as the version packs install them, and packs that extract them, for the
// start-press tests. Offsets are written out here from the game's documented layout on
// their own, so that a wrong offset in the launcher's table shows as a byte mismatch.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/settings.h"
#include "launch/launch_host.h"
#include "launch/online_steps.h"
#include "platform/api/registry.h"
#include "platform/sim/sim_platform.h"

namespace tovren::launch::testing {

using platform::Bytes;

// Tovren.exe of a version's layout: rule texts in their slots, 75 07 and 75 1F at the
// two code offsets, every other byte 0x5A.
Bytes MakeGameExe(int version);
// Tovren.res: the 22 records with scene mark 0B and their tracks, every other byte 0xEE.
Bytes MakeGameRes();
inline constexpr std::uint64_t kExeSize = 1865216;  // a little past the highest slot
inline constexpr std::uint64_t kResSize = 61696;

// What PatchGameExecutable must turn MakeGameExe(version) into for these settings.
Bytes ExpectedGameExe(int version, const core::Settings& settings);

// Offsets of the documented layout, decimal as the game's tables give them.
inline constexpr std::uint32_t kCodeChangeAt[2] = {240478, 240302};
inline constexpr std::uint32_t kHiddenCommandsAt[2] = {746901, 747253};
int Column(int version);

// The scene-mark offset of scene 1-22 and its music-track offset, decimal.
std::uint32_t SceneMarkAt(int scene);
std::uint32_t SceneTrackAt(int scene);
int SceneTrack(int scene);

// Writes bytes as a file below the simulated game folder, creating its folders.
void PutFile(sim::SimFiles& files, const std::string& path, const Bytes& bytes);
Bytes Text(const std::string& s);

// "" when equal, else where the two images first differ (printing megabytes helps nobody).
std::string FirstDifference(const Bytes& got, const Bytes& want);

// The payload resources: small marked blobs; the packs recognise themselves by them.
void AddPayloadResources(sim::SimResources& resources);
Bytes PackBytes(const std::string& type, const std::string& name);

// Simulated self-extracting packs: a run of "vsn.exe"/"soe.exe" reads the file the
// launcher wrote, extracts the game files of that pack into the game folder and deletes
// itself, like the real archives.
struct FakePacks {
  explicit FakePacks(sim::SimPlatform& p);
  sim::SimPlatform& p;
  std::uint32_t exitCode = 0;
  bool deleteSelf = true;
  bool extract = true;
  std::set<std::string> skip;  // files a pack leaves out ("sn05.pak")
  std::vector<std::string> ran;  // "VSN/2", "SOE/ON", in order
  std::vector<std::string>* log = nullptr;  // shared order log: "run VSN/2"
};

// The window side of the press, recorded.
class FakeHost : public LaunchHost {
 public:
  explicit FakeHost(std::vector<std::string>* log = nullptr) : log_(log ? log : &own_) {}
  void ShowButtonPicture(int element, const std::string& bitmap) override;
  void HideMainWindows() override;
  void ShowMainWindows() override;
  void CloseMain() override;
  void SetStatus(const std::string& trayTip) override;
  void ShowMessage(const std::string& text) override;

  const std::vector<std::string>& log() const { return *log_; }
  std::vector<std::string> statuses;
  std::vector<std::string> messages;
  std::map<int, std::string> pictures;
  bool windowsVisible = true;
  bool closed = false;

 private:
  std::vector<std::string> own_;
  std::vector<std::string>* log_;
};

class FakeOnline : public OnlineSteps {
 public:
  explicit FakeOnline(std::vector<std::string>* log) : log_(log) {}
  void RefreshList(int list, std::string& accumulator) override;
  void OpenSubmitter(int list) override;
  std::set<int> failLists;  // RefreshList throws for these
  std::vector<std::string> accumulatorsSeen;  // the accumulator as each refresh found it
 private:
  std::vector<std::string>* log_;
};

// Records registry writes into the shared log, then hands them on.
class LoggingRegistry : public platform::Registry {
 public:
  LoggingRegistry(platform::Registry& inner, std::vector<std::string>* log)
      : inner_(inner), log_(log) {}
  void WriteString(const std::string& valuePath, const std::string& data) override;

 private:
  platform::Registry& inner_;
  std::vector<std::string>* log_;
};

}  // namespace tovren::launch::testing
