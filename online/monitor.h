#pragma once
// `动态` (dynamic): the hidden worker window that lives from start-up to shut-down. Its
// fields hold the runtime state of the online features; its two timers watch the desktop
// while the game runs: `窗口时钟` (300 ms) locks the pointer into the windowed game,
// `时钟` (600 ms) records the foreground title, closes the popup menu when it loses the
// foreground and polls the hot keys F4 (cursor lock), F8 (next address into the IP tool)
// and F9 (refresh the address list). It also holds the own-address page `WebIP`. A failure
// inside a tick never stops a timer: it is told after the tick, and the ticks go on.
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/field.h"
#include "core/settings.h"
#include "online/browser.h"
#include "online/fetch.h"
#include "platform/api/platform.h"

namespace tovren::online {

struct MonitorOptions {
  // Web server host ("host" or "host:port").
  std::string webHost = TOVREN_WEB_HOST;
  // Closes the popup menu's two windows, `menu` and `菜单`; closing them when they are not
  // open does nothing.
  std::function<void()> closeMenu;
  RequestLimits limits;
  // WM_SETTEXT to the IP tool waits at most this long: a hung tool must not freeze us.
  int sendTextTimeoutMs = 3000;
  // After starting the IP tool, how long to wait for its window and controls.
  int toolStartWaitMs = 3000;
  // How long to look for the tool's "point" box after pressing its start button.
  int pointWaitMs = 1000;
};

class 动态 {
 public:
  static constexpr const char* kTitle = "动态";
  static constexpr int k窗口时钟Ms = 300;
  static constexpr int k时钟Ms = 600;
  static constexpr int kWaitMs = 100;  // the pauses between the IP tool's messages

  // Texts of the other programs' windows this window watches or drives.
  static constexpr const char* kGameTitle = "Tovren";
  static constexpr const char* kWindowedLine = "FullScreen 0";
  static constexpr const char* kMenuTitle = "菜单";
  static constexpr const char* kMenuBackdropTitle = "menu";  // the menu's own backdrop
  static constexpr const char* kToolExeName = "zarnu_ip.exe";
  static constexpr const char* kToolTitle = "zarnu_ip";
  static constexpr const char* kToolStartText = "start";
  static constexpr const char* kToolAddressText = "255.255.255.255";
  static constexpr const char* kPointTitle = "point";
  static constexpr const char* kPointConfirmText = "确定";

  static constexpr std::uint32_t kWmLButtonDown = 0x0201;
  static constexpr std::uint32_t kWmLButtonUp = 0x0202;
  static constexpr std::intptr_t kClickPoint = 0x10001;  // x = 1, y = 1

  动态(const platform::Platform& platform, core::Settings& settings, MonitorOptions options = {});
  ~动态();
  动态(const 动态&) = delete;
  动态& operator=(const 动态&) = delete;

  // Creation: the hidden window, the own-address page loading into WebIP, `时钟` running.
  void Create();
  // Close: every IP tool process ended, the cursor clip released, timers stopped, window
  // destroyed. Does nothing when not open.
  void Close();
  bool IsOpen() const { return hwnd_ != 0; }
  platform::Hwnd hwnd() const { return hwnd_; }

  // Ends every running process whose executable name equals name, ignoring letter case.
  void KillProcessByName(std::string_view name);

  // Fetches address list `list` (1 or 2), adds its entries to the run's accumulator and
  // rewrites `IP` from it. Throws FetchError; `IP` then keeps its value.
  void RefreshIpList(int list, std::string& accumulator);
  // The F9 run: a fresh accumulator, the first list when option switch 6 is on, then the
  // second when option switch 7 is on. Throws FetchError.
  void RefreshLists();
  // The F8 press: counts the list, or applies its next address through the IP tool.
  // Throws core::UserError when the IP tool cannot be started.
  void ApplyNextIp();

  // "http://<host>/za/net/<list>/<version>/data.asp"
  std::string ListAddress(int list) const;
  // "<host>/za/net/<list>/<version>/index.asp", without scheme, as the browser gets it.
  std::string RegistrationPage(int list) const;
  // "<host>/ip/ip.asp", without scheme: the own-address page WebIP loads.
  std::string OwnAddressPage() const;
  std::string ToolPath() const;  // "<launcher folder>\zarnu\zarnu_ip.exe"
  // The own address WebIP brought: the page's body text; nothing when it has not loaded,
  // failed, or reads as anything but one address (a network's login page is not one).
  std::optional<std::string> OwnAddress() const;

  // The timer ticks, as the timers call them.
  void Tick窗口时钟();
  void Tick时钟();
  bool CursorLockOn() const { return 窗口时钟Id_ != 0; }

  const MonitorOptions& options() const { return options_; }

  core::Field 窗口;     // title of the last foreground window other than this one
  core::Field 配置;     // 7th line of the game's config.ini
  core::Field IP;       // the address list: entries separated by CR LF
  core::Field 行数{"0"};  // the countdown into IP
  core::Field IP_1;     // the address applied last
  std::array<core::Field, 5> 句柄{core::Field{"0"}, core::Field{"0"}, core::Field{"0"},
                                  core::Field{"0"}, core::Field{"0"}};  // IP tool windows
  Browser WebIP;        // the own-address page (its completion handler is the submitter's)

 private:
  bool SwitchOn(int element) const;
  platform::Hwnd Handle(int i) const;
  void SetHandle(int i, platform::Hwnd h);
  void Click(platform::Hwnd target);
  bool ToolHandlesStale(platform::Hwnd main);
  void LookUpToolHandles(platform::Hwnd main);
  platform::Hwnd StartToolAndWait();
  void ReadConfigLine();
  void ToggleCursorLock();
  // Tells the player of a failure once the tick has returned (see Tell in the source).
  void Tell(const std::string& text);
  void ShowPending();

  platform::Platform p_;
  core::Settings& settings_;
  MonitorOptions options_;
  platform::Hwnd hwnd_ = 0;
  int 时钟Id_ = 0;
  int 窗口时钟Id_ = 0;
  // Each timer keeps only itself from running inside itself: the waits of F8 and the fetch
  // of F9 let the loop run, and the cursor lock must go on meanwhile.
  bool in窗口时钟_ = false;
  bool in时钟_ = false;
  std::deque<std::string> pending_;  // failures not told yet, in order
  bool showPosted_ = false;
  bool showing_ = false;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // for posted calls
};

}  // namespace tovren::online
