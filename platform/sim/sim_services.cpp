// The small simulated services and the aggregate.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "platform/api/errors.h"
#include "platform/sim/sim_platform.h"

namespace tovren::sim {
namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

}  // namespace

// --- resources ----------------------------------------------------------------------------
std::optional<Bytes> SimResources::Load(const std::string& type, const std::string& name) {
  auto it = items_.find(Upper(type) + "/" + Upper(name));
  if (it == items_.end()) return std::nullopt;
  return it->second;
}

bool SimResources::HasBitmap(const std::string& name) { return bitmaps_.count(Upper(name)) > 0; }

void SimResources::Add(const std::string& type, const std::string& name, Bytes bytes) {
  items_[Upper(type) + "/" + Upper(name)] = std::move(bytes);
}

void SimResources::AddBitmap(const std::string& name) { bitmaps_.insert(Upper(name)); }

void SimResources::AddLauncherBitmaps() {
  auto add = [this](int family, std::initializer_list<int> states) {
    for (int s : states) {
      char name[16];
      std::snprintf(name, sizeof name, "OJB%02d%02d", family, s);
      AddBitmap(name);
    }
  };
  for (int f = 1; f <= 9; ++f) add(f, {1, 2, 3});
  for (int f = 10; f <= 14; ++f) add(f, {1, 2});
  add(15, {1});
  for (int f = 16; f <= 20; ++f) add(f, {1, 2, 3});
  for (int f = 21; f <= 23; ++f) add(f, {1, 2});
  for (const char* bg : {"BACK_MAIN", "PANEL_START", "PANEL_NET", "PANEL_RULES", "BACK_MENU"})
    AddBitmap(bg);
}

// --- processes ----------------------------------------------------------------------------
std::uint32_t SimProcesses::RunHiddenAndWait(const platform::Program& program,
                                             const std::string& currentFolder, int timeoutMs) {
  runs.push_back({program.file, program.commandLine, currentFolder, true, 0, timeoutMs});
  return onRun ? onRun(program, currentFolder) : 0;
}

void SimProcesses::Start(const platform::Program& program, int showCode) {
  if (onStart) onStart(program, showCode);
  runs.push_back({program.file, program.commandLine, "", false, showCode, 0});
}

void SimProcesses::Terminate(std::uint32_t pid) {
  terminated.push_back(pid);
  running.erase(std::remove_if(running.begin(), running.end(),
                               [pid](const platform::ProcessEntry& e) { return e.pid == pid; }),
                running.end());
}

// --- registry -----------------------------------------------------------------------------
void SimRegistry::WriteString(const std::string& valuePath, const std::string& data) {
  if (refuseWith) throw platform::OsError("registry write " + valuePath, *refuseWith);
  writes.emplace_back(valuePath, data);
  values_[Upper(valuePath)] = data;
}

std::optional<std::string> SimRegistry::Get(const std::string& valuePath) const {
  auto it = values_.find(Upper(valuePath));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

// --- time -----------------------------------------------------------------------------------
void SimClock::Sleep(int ms) {
  sleeps.push_back(ms);
  now_ += static_cast<std::uint64_t>(ms);
  if (onSleep) onSleep(ms);
}

int SimTimers::Start(int intervalMs, std::function<void()> tick) {
  int id = nextId_++;
  timers_[id] = Timer{intervalMs, clock_.NowMs() + static_cast<std::uint64_t>(intervalMs),
                      std::move(tick)};
  return id;
}

void SimTimers::Stop(int id) { timers_.erase(id); }

bool SimTimers::IsRunning(int id) const { return timers_.count(id) > 0; }

std::size_t SimTimers::RunningCount() const { return timers_.size(); }

void SimTimers::Advance(int ms) {
  const std::uint64_t target = clock_.NowMs() + static_cast<std::uint64_t>(ms);
  for (;;) {
    int due = 0;
    std::uint64_t when = target + 1;
    for (const auto& [id, t] : timers_) {
      if (t.next <= target && t.next < when) {
        when = t.next;
        due = id;
      }
    }
    if (!due) break;
    if (when > clock_.NowMs()) clock_.SetNow(when);
    auto& timer = timers_.at(due);
    // A tick that ran long (a Sleep inside it) is followed by one tick, not a burst, as
    // WM_TIMER coalesces.
    timer.next = std::max(timer.next + static_cast<std::uint64_t>(timer.interval),
                          clock_.NowMs() + 1);
    auto tick = timer.tick;  // the tick may stop or restart its own timer
    tick();
  }
  if (clock_.NowMs() < target) clock_.SetNow(target);
}

bool SimKeys::WasPressed(int virtualKey) {
  if (held_.count(virtualKey)) return true;
  return tapped_.erase(virtualKey) > 0;
}

void SimKeys::Hold(int virtualKey, bool down) {
  if (down)
    held_.insert(virtualKey);
  else
    held_.erase(virtualKey);
}

// --- loop and worker --------------------------------------------------------------------------
void SimLoop::PumpPending() {
  ++pumps;
  // Only what was waiting when the pump began, as a PeekMessage loop would see it.
  std::size_t n = posted_.size();
  for (std::size_t i = 0; i < n && !posted_.empty(); ++i) {
    auto fn = std::move(posted_.front());
    posted_.pop_front();
    fn();
  }
  if (onPump) onPump();
}

void SimLoop::RunUntilIdle() {
  while (!posted_.empty()) {
    auto fn = std::move(posted_.front());
    posted_.pop_front();
    fn();
  }
}

void SimWorker::Run(std::function<void()> work, std::function<void()> done) {
  jobs_.emplace_back(std::move(work), std::move(done));
}

void SimWorker::RunAll() {
  while (!jobs_.empty()) {
    auto job = std::move(jobs_.front());
    jobs_.pop_front();
    job.first();
    loop_.Post(std::move(job.second));
  }
}

// --- aggregate ------------------------------------------------------------------------------
SimPlatform::SimPlatform(std::filesystem::path root, std::string gameFolderWin)
    : files(root, gameFolderWin),
      http(MakeCurlHttp()),
      system(gameFolderWin + "\\TovrenLauncher.exe", gameFolderWin) {}

SimPlatform::~SimPlatform() = default;

platform::Platform SimPlatform::Get() {
  return platform::Platform{files, resources, processes, registry, *http, desktop,
                            timers, keys,     loop,      clock,    worker, system};
}

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "tovren-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace tovren::sim
