#include "tests/unit/launch/game_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/api/errors.h"

namespace tovren::launch::testing {

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
  p.processes.onRun = [this](const platform::Program& program, const std::string&) -> std::uint32_t {
    Bytes self = p.files.ReadAll(program.file);
    std::string head(self.begin(), self.begin() + std::min<std::size_t>(self.size(), 64));
    std::string which = head.substr(5, head.find(' ', 5) - 5);  // "VSN/2"
    if (self != PackBytes(which.substr(0, 3), which.substr(4)))
      throw std::runtime_error("pack file is not exactly its resource: " + program.file);
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
    if (deleteSelf) p.files.Delete(program.file);
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
