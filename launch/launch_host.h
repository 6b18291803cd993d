#pragma once
// What a start press does to the launcher's own windows. The main window `主体`
// implements it; the press handler and the start sequence only call it.
#include <string>

namespace tovren::launch {

// The tray tip while no press is at work.
inline constexpr const char* kIdleTrayTip = "Quellor.net";
// The tray tip while a start press works with both windows hidden.
inline constexpr const char* kTipInstalling = "正在安装游戏…";
inline constexpr const char* kTipWritingSettings = "正在写入游戏设置…";
inline constexpr const char* kTipStarting = "正在启动游戏…";

// The elements of `按钮`.
enum ButtonElement {
  kNetworkButton = 0,
  kSettingsButton = 1,
  kStartButton = 2,
  kMinimiseButton = 3,
  kCloseButton = 4,
};
// The normal picture of the start button, given once a program has been started.
inline constexpr const char* kStartButtonNormal = "ojb1801";

class LaunchHost {
 public:
  virtual ~LaunchHost() = default;
  // Gives `按钮` element its bitmap ("ojb1803"); an element that does not exist is ignored.
  virtual void ShowButtonPicture(int element, const std::string& bitmap) = 0;
  // Hides `主体`, then `main`.
  virtual void HideMainWindows() = 0;
  // Shows `main` and `主体` again, as the tray click does.
  virtual void ShowMainWindows() = 0;
  // Closes `main`; `主体`, which it owns, closes with it.
  virtual void CloseMain() = 0;
  // The tray icon's tip.
  virtual void SetStatus(const std::string& trayTip) = 0;
  // One message box titled core::kMessageTitle.
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace tovren::launch
