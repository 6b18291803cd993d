#pragma once
// A launcher on the simulated platform: a real temporary game folder, the launcher's
// resources, a recording stand-in for the online windows, and the window set.
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "core/window_set.h"
#include "platform/sim/sim_platform.h"

namespace tovren::uitest {

using platform::Bytes;
using platform::Hwnd;

// Enough of a PNG for the simulated surface to read its size from the IHDR chunk.
inline Bytes FakePng(int width, int height) {
  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (int v : {width, height})
    for (int shift : {24, 16, 8, 0}) b.push_back(static_cast<std::uint8_t>((v >> shift) & 0xFF));
  return b;
}

inline Bytes IpToolBytes() {
  Bytes b(453632);
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 1);
  b[0] = 'M';
  b[1] = 'Z';
  return b;
}

inline void AddLauncherResources(sim::SimResources& r, bool withIpTool = true) {
  r.AddLauncherBitmaps();
  r.Add("PNG", "101", FakePng(800, 600));
  r.Add("PNG", "102", FakePng(150, 300));
  r.Add("PNG", "103", FakePng(340, 350));
  if (withIpTool) r.Add("EXE", "ZARNU_IP", IpToolBytes());
}

// The monitor and the submitter as the window set sees them; what happens to them goes into
// the desktop's call log, so the orders can be read from one list.
class FakeOnline : public core::OnlineWindows {
 public:
  explicit FakeOnline(sim::SimDesktop& desktop) : desktop_(desktop) {}
  void OpenMonitor(core::Settings& settings, std::function<void()> closeMenu) override {
    desktop_.log.push_back("open 动态");
    monitorOpen = true;
    this->settings = &settings;
    this->closeMenu = std::move(closeMenu);
  }
  bool MonitorOpen() const override { return monitorOpen; }
  void CloseMonitor() override {
    desktop_.log.push_back("close 动态");
    monitorOpen = false;
  }
  bool SubmitterOpen() const override { return submitterOpen; }
  void CloseSubmitter() override {
    desktop_.log.push_back("close 提交");
    submitterOpen = false;
  }
  void RefreshList(int list, std::string& /*accumulator*/) override {
    desktop_.log.push_back("refresh " + std::to_string(list));
  }
  void OpenSubmitter(int list) override {
    desktop_.log.push_back("open 提交 " + std::to_string(list));
    submitterOpen = true;
  }

  bool monitorOpen = false;
  bool submitterOpen = false;
  core::Settings* settings = nullptr;
  std::function<void()> closeMenu;

 private:
  sim::SimDesktop& desktop_;
};

// Hands every call to the simulated desktop and lets a test look at the world at the
// moment a window is shown or the tray icon is removed.
class ObservedDesktop : public platform::Desktop {
 public:
  explicit ObservedDesktop(sim::SimDesktop& d) : d_(d) {}
  std::function<void(Hwnd, bool)> onShow;
  std::function<void()> onRemoveTray;

  Hwnd CreateTopLevel(const platform::WindowSpec& s, platform::WindowEvents* e) override { return d_.CreateTopLevel(s, e); }
  Hwnd CreateControl(const platform::ControlSpec& s, platform::WindowEvents* e) override { return d_.CreateControl(s, e); }
  void Destroy(Hwnd w) override { d_.Destroy(w); }
  bool IsWindow(Hwnd w) override { return d_.IsWindow(w); }
  void Show(Hwnd w, bool v) override {
    if (onShow) onShow(w, v);
    d_.Show(w, v);
  }
  bool IsVisible(Hwnd w) override { return d_.IsVisible(w); }
  void Move(Hwnd w, const platform::RectPx& r) override { d_.Move(w, r); }
  platform::RectPx GetRect(Hwnd w) override { return d_.GetRect(w); }
  void SetOwner(Hwnd w, Hwnd o) override { d_.SetOwner(w, o); }
  void AddLayeredStyle(Hwnd w) override { d_.AddLayeredStyle(w); }
  void SetColorKey(Hwnd w, platform::Rgb k) override { d_.SetColorKey(w, k); }
  void SetTopmost(Hwnd w) override { d_.SetTopmost(w); }
  std::unique_ptr<platform::LayeredSurface> CreateLayeredSurface(Hwnd w, const Bytes& png) override { return d_.CreateLayeredSurface(w, png); }
  void SetPicture(Hwnd p, const std::string& b) override { d_.SetPicture(p, b); }
  void SetText(Hwnd w, const std::string& t) override { d_.SetText(w, t); }
  std::string GetText(Hwnd w) override { return d_.GetText(w); }
  void SetTextColor(Hwnd c, platform::Rgb color) override { d_.SetTextColor(c, color); }
  void SetFont(Hwnd c, const platform::FontSpec& f) override { d_.SetFont(c, f); }
  void SetTextLimit(Hwnd e, int n) override { d_.SetTextLimit(e, n); }
  void SetSelection(Hwnd e, int s, int l) override { d_.SetSelection(e, s, l); }
  void SetTooltip(Hwnd c, const std::string& t) override { d_.SetTooltip(c, t); }
  void SetCapture(Hwnd c) override { d_.SetCapture(c); }
  void ReleaseCapture() override { d_.ReleaseCapture(); }
  void SetFocus(Hwnd w) override { d_.SetFocus(w); }
  Hwnd Focused() override { return d_.Focused(); }
  void BringToFront(Hwnd w, bool activate) override { d_.BringToFront(w, activate); }
  Hwnd FindTopLevel(const std::string& t) override { return d_.FindTopLevel(t); }
  Hwnd FindChild(Hwnd p, const std::string& t) override { return d_.FindChild(p, t); }
  Hwnd Foreground() override { return d_.Foreground(); }
  std::string WindowTitle(Hwnd w) override { return d_.WindowTitle(w); }
  std::optional<platform::RectPx> ClientRectOnScreen(Hwnd w) override { return d_.ClientRectOnScreen(w); }
  bool SendText(Hwnd w, const std::string& t, int ms) override { return d_.SendText(w, t, ms); }
  void PostMessage(Hwnd w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override { d_.PostMessage(w, m, wp, lp); }
  platform::PointPx CursorPos() override { return d_.CursorPos(); }
  void ClipCursor(const std::optional<platform::RectPx>& r) override { d_.ClipCursor(r); }
  platform::SizePx ScreenSize() override { return d_.ScreenSize(); }
  bool AddTrayIcon(const platform::TrayIcon& i) override { return d_.AddTrayIcon(i); }
  bool ModifyTrayIcon(const platform::TrayIcon& i) override { return d_.ModifyTrayIcon(i); }
  bool RemoveTrayIcon(const platform::TrayIcon& i) override {
    if (onRemoveTray) onRemoveTray();
    return d_.RemoveTrayIcon(i);
  }
  std::optional<std::string> OpenFile(const platform::OpenFileRequest& r) override { return d_.OpenFile(r); }
  void ShowMessage(Hwnd o, const std::string& t, const std::string& x) override { d_.ShowMessage(o, t, x); }

 private:
  sim::SimDesktop& d_;
};

// One run of the launcher in a game folder. Several runs may share a folder.
class Launcher {
 public:
  explicit Launcher(const std::filesystem::path& gameFolder, bool withIpTool = true)
      : sim(gameFolder), observed(sim.desktop), online(sim.desktop) {
    AddLauncherResources(sim.resources, withIpTool);
  }

  // Builds the window set (after the test has arranged the folder and the hooks).
  core::WindowSet& Make() {
    platform::Platform p = sim.Get();
    platform::Platform withObserver{p.files, p.resources, p.processes, p.registry, p.http, observed,
                                    p.timers, p.keys, p.loop, p.clock, p.worker, p.system};
    set = std::make_unique<core::WindowSet>(withObserver, online);
    return *set;
  }
  core::WindowSet& Start() {
    Make().Start();
    return *set;
  }

  core::主体& body() { return set->body(); }
  sim::SimDesktop& desktop() { return sim.desktop; }
  Hwnd Main() { return sim.desktop.FindOurTopLevel("main"); }
  Hwnd Body() { return sim.desktop.FindOurTopLevel("主体"); }
  std::filesystem::path HostPath(const std::string& p) { return sim.files.HostPath(p); }

  sim::SimPlatform sim;
  ObservedDesktop observed;
  FakeOnline online;
  std::unique_ptr<core::WindowSet> set;
};

inline Bytes ReadHostFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The entries of a log from the first one that starts with `from`.
inline std::vector<std::string> LogFrom(const std::vector<std::string>& log, const std::string& from) {
  for (std::size_t i = 0; i < log.size(); ++i)
    if (log[i].rfind(from, 0) == 0) return {log.begin() + static_cast<std::ptrdiff_t>(i), log.end()};
  return {};
}

// Keeps the entries that start with one of the prefixes, in order.
inline std::vector<std::string> Only(const std::vector<std::string>& log,
                                     std::initializer_list<const char*> prefixes) {
  std::vector<std::string> out;
  for (const auto& e : log)
    for (const char* p : prefixes)
      if (e.rfind(p, 0) == 0) {
        out.push_back(e);
        break;
      }
  return out;
}

}  // namespace tovren::uitest
