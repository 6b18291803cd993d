#include "tests/unit/launch/game_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/api/codepage.h"
#include "platform/api/errors.h"

namespace tovren::launch::testing {
namespace {

struct Slot {
  std::uint32_t at[2];  // versions 1 and 3, version 2
  int size;
  const char* installed;  // the text the installed game holds there
  std::string (*value)(const core::Settings&);
};

// In the game's writing order.
const Slot kSlots[] = {
    {{1864764, 1864780}, 4, "40%", [](const core::Settings& s) { return s.血量[0].Text() + "%"; }},
    {{1864756, 1864772}, 8, "80%", [](const core::Settings& s) { return s.血量[1].Text() + "%"; }},
    {{1864748, 1864764}, 8, "120%", [](const core::Settings& s) { return s.血量[2].Text() + "%"; }},
    {{1864740, 1864756}, 8, "160%", [](const core::Settings& s) { return s.血量[3].Text() + "%"; }},
    {{1864732, 1864748}, 8, "250%", [](const core::Settings& s) { return s.血量[4].Text() + "%"; }},
    {{1864820, 1864836}, 4, "2", [](const core::Settings& s) { return s.时间[0].Text(); }},
    {{1864816, 1864832}, 4, "4", [](const core::Settings& s) { return s.时间[1].Text(); }},
    {{1864812, 1864828}, 4, "6", [](const core::Settings& s) { return s.时间[2].Text(); }},
    {{1864808, 1864824}, 4, "8", [](const core::Settings& s) { return s.场次[3].Text(); }},
    {{1864848, 1864864}, 4, "12", [](const core::Settings& s) { return s.时间[3].Text(); }},
    {{1864804, 1864820}, 4, "14", [](const core::Settings& s) { return s.时间[4].Text(); }},
    {{1864800, 1864816}, 4, "20", [](const core::Settings& s) { return s.场次[5].Text(); }},
    {{1864796, 1864812}, 4, "26", [](const core::Settings& s) { return s.场次[6].Text(); }},
    {{1864792, 1864808}, 4, "99", [](const core::Settings& s) { return s.场次[7].Text(); }},
    {{1864836, 1864852}, 4, "8", [](const core::Settings& s) { return s.人数.Text(); }},
};

const std::uint32_t kMarks[22] = {59971, 60048, 60125, 60202, 60279, 60356, 60433, 60510,
                                  60587, 60664, 60741, 60818, 60895, 60972, 61049, 61126,
                                  61203, 61280, 61357, 61434, 61511, 61590};
const int kTracks[22] = {2, 2, 3, 5, 7, 5, 8, 8, 8, 9, 9, 1, 4, 1, 6, 6, 7, 5, 4, 7, 10, 5};

void Put(Bytes& image, std::uint32_t at, const Bytes& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) image.at(at + i) = bytes[i];
}

}  // namespace

int Column(int version) { return version == 2 ? 1 : 0; }

Bytes Text(const std::string& s) {
  std::string gbk = platform::Utf8ToGbk(s);
  return Bytes(gbk.begin(), gbk.end());
}

std::string FirstDifference(const Bytes& got, const Bytes& want) {
  auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
  if (g == got.end() && w == want.end()) return "";
  std::size_t at = static_cast<std::size_t>(g - got.begin());
  auto show = [](const Bytes& b, std::size_t i) {
    return i < b.size() ? std::to_string(b[i]) : std::string("end");
  };
  return "sizes " + std::to_string(got.size()) + "/" + std::to_string(want.size()) +
         ", first difference at offset " + std::to_string(at) + ": " + show(got, at) + " instead of " +
         show(want, at);
}

Bytes MakeGameExe(int version) {
  const int c = Column(version);
  Bytes image(kExeSize, 0x5A);
  for (const Slot& slot : kSlots) {
    Put(image, slot.at[c], Bytes(slot.size, 0));
    Put(image, slot.at[c], Text(slot.installed));
  }
  Put(image, kCodeChangeAt[c], {0x75, 0x07});
  Put(image, kHiddenCommandsAt[c], {0x75, 0x1F});
  return image;
}

Bytes ExpectedGameExe(int version, const core::Settings& settings) {
  const int c = Column(version);
  Bytes image = MakeGameExe(version);
  for (const Slot& slot : kSlots) Put(image, slot.at[c], {0, 0, 0, 0});
  for (const Slot& slot : kSlots) Put(image, slot.at[c], Text(slot.value(settings)));
  Put(image, kCodeChangeAt[c], {0x90, 0x90});
  if (settings.复选框辅助[0].Text() == "1") Put(image, kHiddenCommandsAt[c], {0x71});
  return image;
}

std::uint32_t SceneMarkAt(int scene) { return kMarks[scene - 1]; }
std::uint32_t SceneTrackAt(int scene) { return kMarks[scene - 1] + 16; }
int SceneTrack(int scene) { return kTracks[scene - 1]; }

Bytes MakeGameRes() {
  Bytes image(kResSize, 0xEE);
  for (int scene = 1; scene <= 22; ++scene) {
    Put(image, SceneMarkAt(scene), {0x0B, 0, 0, 0});
    Put(image, SceneTrackAt(scene), {static_cast<std::uint8_t>(SceneTrack(scene)), 0, 0, 0});
  }
  return image;
}

void PutFile(sim::SimFiles& files, const std::string& path, const Bytes& bytes) {
  std::filesystem::path host = files.HostPath(path);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write fixture " + host.string());
}

Bytes PackBytes(const std::string& type, const std::string& name) {
  std::string s = "PACK " + type + "/" + name + " ";
  Bytes b(s.begin(), s.end());
  b.resize(64 + type.size() * 7 + name.size() * 13, 0xA5);  // sizes differ between packs
  return b;
}

void AddPayloadResources(sim::SimResources& resources) {
  for (const char* n : {"1", "2", "3"}) resources.Add("VSN", n, PackBytes("VSN", n));
  for (const char* n : {"ON", "OFF"}) resources.Add("SOE", n, PackBytes("SOE", n));
  resources.Add("EXE", "CONFIG", PackBytes("EXE", "CONFIG"));
}

FakePacks::FakePacks(sim::SimPlatform& platform) : p(platform) {
  p.processes.onRun = [this](const std::string& commandLine, const std::string&) -> std::uint32_t {
    Bytes self = p.files.ReadAll(commandLine);
    std::string head(self.begin(), self.begin() + std::min<std::size_t>(self.size(), 64));
    std::string which = head.substr(5, head.find(' ', 5) - 5);  // "VSN/2"
    if (self != PackBytes(which.substr(0, 3), which.substr(4)))
      throw std::runtime_error("pack file is not exactly its resource: " + commandLine);
    ran.push_back(which);
    if (log) log->push_back("run " + which);
    auto put = [&](const std::string& name, const Bytes& bytes) {
      if (!skip.count(name)) PutFile(p.files, name, bytes);
    };
    if (extract && which.rfind("VSN/", 0) == 0) {
      int version = which[4] - '0';
      put("Tovren.exe", MakeGameExe(version));
      put("Tovren.res", MakeGameRes());
      for (int scene = 1; scene <= 22; ++scene) {
        std::string n = std::to_string(scene);
        put("sn" + std::string(n.size() < 2 ? "0" : "") + n + ".pak", Text("scene " + n));
      }
      for (int track = 1; track <= 10; ++track)
        put("music\\s" + std::to_string(track) + ".mp3", Text("track"));
      if (version == 2) put("sn22\\sn22.pvb", Text("v2 only"));
    } else if (extract) {
      put("texture\\effect.tex", Text(which));
    }
    if (deleteSelf) p.files.Delete(commandLine);
    return exitCode;
  };
}

void FakeHost::ShowButtonPicture(int element, const std::string& bitmap) {
  pictures[element] = bitmap;
  log_->push_back("picture " + std::to_string(element) + " " + bitmap);
}
void FakeHost::HideMainWindows() {
  windowsVisible = false;
  log_->push_back("hide");
}
void FakeHost::ShowMainWindows() {
  windowsVisible = true;
  log_->push_back("show");
}
void FakeHost::CloseMain() {
  closed = true;
  log_->push_back("close");
}
void FakeHost::SetStatus(const std::string& trayTip) {
  statuses.push_back(trayTip);
  log_->push_back("status " + trayTip);
}
void FakeHost::ShowMessage(const std::string& text) {
  messages.push_back(text);
  log_->push_back("message");
}

void FakeOnline::RefreshList(int list, std::string& accumulator) {
  log_->push_back("refresh " + std::to_string(list));
  accumulatorsSeen.push_back(accumulator);
  if (failLists.count(list)) throw std::runtime_error("fetch failed");
  accumulator += "list" + std::to_string(list);
}
void FakeOnline::OpenSubmitter(int list) { log_->push_back("submit " + std::to_string(list)); }

void LoggingRegistry::WriteString(const std::string& valuePath, const std::string& data) {
  log_->push_back("reg " + valuePath + "=" + data);
  inner_.WriteString(valuePath, data);
}

}  // namespace tovren::launch::testing
