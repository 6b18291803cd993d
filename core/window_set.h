#pragma once
// The launcher's window set and its start-up and shut-down orders. Seven top-level windows:
// the backdrop `main` (the first window, owner of `主体`), the settings window `主体`, the
// hidden worker `动态`, the popup menu's backdrop `menu` and items `菜单`, the about picture
// `关于`, and the hidden submitter `提交`. The process ends when none of them is left.
#include <functional>
#include <memory>

#include "core/main_body.h"
#include "launch/online_steps.h"
#include "online/monitor.h"
#include "online/online_services.h"
#include "online/submitter.h"
#include "platform/api/platform.h"
#include "ui/layered_png_window.h"
#include "ui/popup_menu.h"

namespace tovren::core {

// The windows of the set that the online services implement, the runtime monitor `动态` and
// the submitter `提交`, with the online steps of a start press (which open `提交`).
class OnlineWindows : public launch::OnlineSteps {
 public:
  // Creates `动态`, hidden, and starts its work. settings are the fields of `主体`;
  // closeMenu closes the popup menu (when it loses the foreground).
  virtual void OpenMonitor(Settings& settings, std::function<void()> closeMenu) = 0;
  virtual bool MonitorOpen() const = 0;
  // Ends the IP tool and releases the cursor clip, then the window goes.
  virtual void CloseMonitor() = 0;
  virtual bool SubmitterOpen() const = 0;
  virtual void CloseSubmitter() = 0;
};

// The online windows as the online services build them: `动态` is made when `main` has
// faded in (it needs the fields of `主体`), `提交` beside it; the start press's online steps
// run over both.
class OnlineWorkerWindows : public OnlineWindows {
 public:
  explicit OnlineWorkerWindows(const platform::Platform& platform,
                               online::MonitorOptions options = {});
  ~OnlineWorkerWindows() override;

  void OpenMonitor(Settings& settings, std::function<void()> closeMenu) override;
  bool MonitorOpen() const override;
  void CloseMonitor() override;
  bool SubmitterOpen() const override;
  void CloseSubmitter() override;
  void RefreshList(int list, std::string& accumulator) override;
  void OpenSubmitter(int list) override;

  online::动态* monitor() { return monitor_.get(); }
  online::提交* submitter() { return submitter_.get(); }

 private:
  online::OnlineServices& Services();
  platform::Platform p_;
  online::MonitorOptions options_;
  std::unique_ptr<online::动态> monitor_;
  std::unique_ptr<online::提交> submitter_;
  std::unique_ptr<online::OnlineServices> services_;
};

class WindowSet {
 public:
  WindowSet(const platform::Platform& platform, OnlineWindows& online);
  ~WindowSet();
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  // The start of the process: creates and opens `main`, whose fade-in ends by showing
  // `主体` and `动态`. Returns when that is done (or the launcher has given up).
  void Start();

  // Shows `main` and, owned by it at its offset, `主体`; clears the action buttons' hover
  // marks. Works whether they are hidden or not.
  void ShowMainWindows();
  void HideMainWindows();
  // Closes `main`; `主体` closes with it.
  void CloseMain();
  // The popup at the pointer: `menu` fades in where it was designed, then moves with `菜单`
  // to the pointer.
  void OpenMenuAtPointer();
  // Closes `菜单` and `menu`.
  void CloseMenu();
  // Another window has the foreground: closes the menu once it has been placed (the
  // monitor's dismissal).
  void DismissMenu();
  void ShowAbout();
  // The popup's exit item: `菜单`, `menu`, `main`, `主体`, `提交`, `动态`, `关于`, in order.
  void ExitFromMenu();
  // `主体`'s close closes these, in this order; a window not open is left alone.
  void CloseOthersForBody();
  // Moves `main` by dx, dy pixels (with `主体`, when dragged).
  void MoveMainBy(int dxPx, int dyPx);

  // Whether any window of the set is still there.
  bool AnyOpen() const;

  ui::LayeredPngWindow& main() { return main_; }
  ui::LayeredPngWindow& menu() { return menu_; }
  ui::LayeredPngWindow& about() { return about_; }
  ui::菜单& menuItems() { return menuItems_; }
  主体& body() { return *body_; }
  // Where `主体` lies for a backdrop at mainRect (pixels).
  static platform::RectPx BodyRectFor(const platform::RectPx& mainRect);

  // What the player reads when the backdrop cannot be drawn at all.
  static constexpr const char* kNoGraphics =
      "无法显示启动器窗口：图形组件 GDI+ 没有启动。请重新启动电脑后再试。";

 private:
  void AfterMainFadeIn();
  void CloseMonitor();
  void CloseSubmitter();
  void CheckQuit();

  platform::Platform p_;
  OnlineWindows& online_;
  ui::LayeredPngWindow main_;
  ui::LayeredPngWindow menu_;
  ui::LayeredPngWindow about_;
  ui::菜单 menuItems_;
  std::unique_ptr<主体> body_;
  bool menuPlaced_ = false;
  bool quit_ = false;
};

}  // namespace tovren::core
