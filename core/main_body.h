#pragma once
// `主体`, the settings window: every settings control of the launcher, lying colour-keyed on
// the backdrop `main`, which owns it. It holds the settings fields, drops the working files
// when it starts, loads the settings, keeps the tray icon, and saves the settings when it
// closes.
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "core/settings.h"
#include "core/settings_view.h"
#include "core/user_error.h"
#include "launch/launch_game.h"
#include "launch/launch_host.h"
#include "launch/online_steps.h"
#include "launch/press_handler.h"
#include "platform/api/platform.h"
#include "ui/drag.h"
#include "ui/layout.h"
#include "ui/skinned_control.h"
#include "ui/version_selector.h"

namespace tovren::core {

class WindowSet;

class 主体 : public SettingsView, public launch::LaunchHost, public platform::WindowEvents {
 public:
  主体(const platform::Platform& platform, WindowSet& set, launch::OnlineSteps& online);
  ~主体() override;
  主体(const 主体&) = delete;
  主体& operator=(const 主体&) = delete;

  static constexpr const char* kTitle = "主体";
  static constexpr platform::Rgb kKeyColor = 0xFF00FF;
  static constexpr platform::Rgb kRuleTextColor = 0x404040;

  // Creates the window hidden at rect (pixels), owned by owner, runs its start handler, then
  // shows it. Throws UserError when the working folder or the IP tool cannot be made; the
  // window is gone again by then.
  void Open(platform::Hwnd owner, const platform::RectPx& rect);
  // The close handler, once: save the settings, remove the tray icon, close the other
  // windows; then the window is destroyed.
  void Close();
  bool IsOpen() const { return state_ == State::Open; }
  // The window exists: starting, open or closing.
  bool Exists() const { return hwnd_ != 0; }
  platform::Hwnd hwnd() const { return hwnd_; }

  // Shows the window owned by owner at rect (pixels): the restore of the main windows.
  void ShowAt(platform::Hwnd owner, const platform::RectPx& rect);
  void Hide();
  void Move(const platform::RectPx& rect);
  // Clears the hover marks of the action buttons `按钮` 0-4.
  void ClearButtonHover();
  // A left press that reached the backdrop at `screen` (pixels): the rule fields' text lies
  // on the key colour, so a press between or beside the digits falls through to the
  // backdrop; inside a visible rule field it belongs to that field, which takes the focus
  // with its whole text selected. Elsewhere nothing happens.
  void PressThroughAt(platform::PointPx screen);
  // Keeps `主体` above the backdrop it lies on (the system raises `main` when it activates
  // it), by making it the active window once that activation is over.
  void KeepInFront();

  Settings& settings() { return settings_; }
  const platform::TrayIcon& trayIcon() const { return tray_; }
  // The controls, for the tests that drive them like a player.
  platform::Hwnd 按钮(int i) const { return 按钮_[static_cast<std::size_t>(i)].hwnd(); }
  platform::Hwnd 复选框(int i) const { return 复选框_[static_cast<std::size_t>(i)].hwnd(); }
  platform::Hwnd 下拉框() const { return selector_.box().hwnd(); }
  platform::Hwnd 版本号(int i) const { return selector_.entry(i).hwnd(); }
  platform::Hwnd 浏览() const { return selector_.browse().hwnd(); }
  platform::Hwnd 版本() const { return 版本_; }
  platform::Hwnd 下拉项() const { return 下拉项_; }
  platform::Hwnd 平台路径() const { return 平台路径_; }
  platform::Hwnd 移动() const { return 移动_.hwnd(); }
  platform::Hwnd Panel(core::Panel panel) const;
  platform::Hwnd RuleEdit(RuleField field, int element) const;
  const ui::SkinnedControl& ButtonControl(int i) const { return 按钮_[static_cast<std::size_t>(i)]; }
  const ui::SkinnedControl& CheckBoxControl(int i) const { return 复选框_[static_cast<std::size_t>(i)]; }

  // SettingsView
  void ShowPanel(core::Panel panel, bool visible) override;
  void SetVersionPicture(const std::string& bitmapName) override;
  void SetCheckBoxPicture(int element, const std::string& bitmapName) override;
  void ClearCheckBoxHover(int element) override;
  void SetPathLabelColor(platform::Rgb color) override;
  void SetPathLabelCaption(const std::string& caption) override;
  void ShowVersionList(bool visible) override;
  void ShowCheckBox(int element, bool visible) override;
  void SelectAll(RuleField field, int element) override;
  void ShowRuleText(RuleField field, int element, const std::string& text) override;

  // launch::LaunchHost
  void ShowButtonPicture(int element, const std::string& bitmap) override;
  void HideMainWindows() override;
  void ShowMainWindows() override;
  void CloseMain() override;
  void SetStatus(const std::string& trayTip) override;
  void ShowMessage(const std::string& text) override;

  // platform::WindowEvents
  void OnMouseMove(platform::Hwnd control, int buttons, int x, int y) override;
  void OnMouseDown(platform::Hwnd control, int button, int x, int y) override;
  void OnMouseUp(platform::Hwnd control, int button, int x, int y) override;
  void OnClick(platform::Hwnd control) override;
  void OnTextChanged(platform::Hwnd edit) override;
  void OnFocus(platform::Hwnd edit) override;
  void OnTab(platform::Hwnd edit, bool backwards) override;
  void OnTrayNotify(int code) override;
  void OnCloseRequest(platform::Hwnd window) override;

  // The tray notifications that mean something.
  static constexpr int kTrayLeftDown = 513;
  static constexpr int kTrayRightUp = 517;

 private:
  enum class State { Closed, Starting, Open, Closing };
  struct RuleRef {
    RuleField field;
    int element;
  };

  std::optional<UserError> StartHandler();
  void MakeWorkingFiles();
  void LayOut();
  void AddTrayIcon();
  void Abandon();
  void ForgetControls();
  platform::Hwnd Parent(ui::layout::Container container) const;
  platform::Hwnd MakeControl(platform::ControlKind kind, const ui::layout::Place& place,
                             const std::string& bitmap, const std::string& text = {});
  std::optional<RuleRef> RuleOf(platform::Hwnd edit) const;
  Field& RuleFieldOf(const RuleRef& ref);
  void FocusRule(const RuleRef& ref);
  platform::PointPx BoxPointOfVersion(int xPx, int yPx) const;
  int Index(const std::array<ui::SkinnedControl, 5>& a, platform::Hwnd h) const;
  int Index(const std::array<ui::SkinnedControl, 8>& a, platform::Hwnd h) const;
  void Guarded(const std::function<void()>& handler);

  platform::Platform p_;
  WindowSet& set_;
  Settings settings_;
  std::unique_ptr<launch::GameLauncher> launcher_;
  std::unique_ptr<launch::PressHandler> press_;

  State state_ = State::Closed;
  platform::Hwnd hwnd_ = 0;
  platform::Hwnd 开始_ = 0, 网络_ = 0, 血时_ = 0;
  platform::Hwnd 版本_ = 0, 下拉项_ = 0, 平台路径_ = 0;
  std::array<platform::Hwnd, 5> 血量_{}, 时间_{};
  std::array<platform::Hwnd, 8> 场次_{};
  platform::Hwnd 人数_ = 0;
  std::array<ui::SkinnedControl, 5> 按钮_;
  std::array<ui::SkinnedControl, 8> 复选框_;
  ui::VersionSelector selector_;
  ui::DragHandle 移动_;

  platform::TrayIcon tray_;
  bool trayAdded_ = false;
};

}  // namespace tovren::core
