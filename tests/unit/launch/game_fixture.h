#pragma once
// Simulated packs that extract the game files of expected_patch.h, and recorders for the
// window side, the online steps and the registry, for the start-press tests.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/settings.h"
#include "tests/unit/launch/expected_patch.h"
#include "launch/launch_host.h"
#include "launch/online_steps.h"
#include "platform/api/registry.h"
#include "platform/sim/sim_platform.h"

namespace tovren::launch::testing {

using platform::Bytes;

// Writes bytes as a file below the simulated game folder, creating its folders.
void PutFile(sim::SimFiles& files, const std::string& path, const Bytes& bytes);

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
