#include "core/window_set.h"

#include "ui/event_boundary.h"
#include "ui/layout.h"
#include "ui/units.h"

namespace tovren::core {

namespace {

ui::LayeredPngWindow::Spec MainSpec() { return {"main", "101", {800, 600}, std::nullopt}; }
ui::LayeredPngWindow::Spec MenuSpec() {
  return {"menu", "102", {ui::kMenuWidthPx, ui::kMenuHeightPx}, ui::kMenuFirstPlace};
}
// The about window is what the player asked for last: in front of every launcher window.
ui::LayeredPngWindow::Spec AboutSpec() { return {"关于", "103", {340, 350}, std::nullopt, true}; }

}  // namespace

OnlineWorkerWindows::OnlineWorkerWindows(const platform::Platform& platform,
                                         online::MonitorOptions options)
    : p_(platform), options_(std::move(options)) {}

OnlineWorkerWindows::~OnlineWorkerWindows() = default;

void OnlineWorkerWindows::OpenMonitor(Settings& settings, std::function<void()> closeMenu) {
  if (!monitor_) {
    options_.closeMenu = std::move(closeMenu);
    monitor_ = std::make_unique<online::动态>(p_, settings, options_);
    submitter_ = std::make_unique<online::提交>(p_, *monitor_, options_.limits);
    services_ = std::make_unique<online::OnlineServices>(*monitor_, *submitter_);
  }
  monitor_->Create();
}

bool OnlineWorkerWindows::MonitorOpen() const { return monitor_ && monitor_->IsOpen(); }

void OnlineWorkerWindows::CloseMonitor() {
  if (monitor_) monitor_->Close();
}

bool OnlineWorkerWindows::SubmitterOpen() const { return submitter_ && submitter_->IsOpen(); }

void OnlineWorkerWindows::CloseSubmitter() {
  if (submitter_) submitter_->Close();
}

online::OnlineServices& OnlineWorkerWindows::Services() {
  // The start press comes after start-up, which made the monitor.
  if (!services_)
    throw UserError("联网功能还没有准备好。请重新启动启动器后再试。",
                    "online step before the runtime monitor was created");
  return *services_;
}

void OnlineWorkerWindows::RefreshList(int list, std::string& accumulator) {
  Services().RefreshList(list, accumulator);
}

void OnlineWorkerWindows::OpenSubmitter(int list) { Services().OpenSubmitter(list); }

WindowSet::WindowSet(const platform::Platform& platform, OnlineWindows& online)
    : p_(platform),
      online_(online),
      main_(platform, MainSpec()),
      menu_(platform, MenuSpec()),
      about_(platform, AboutSpec()),
      menuItems_(platform, ui::菜单::Actions{
                               [this] { ExitFromMenu(); },
                               [this] {
                                 ShowMainWindows();
                                 CloseMenu();
                               },
                               [this] {
                                 ShowAbout();
                                 CloseMenu();
                               },
                               [this] { CloseMenu(); },
                           }) {
  body_ = std::make_unique<主体>(platform, *this, online);

  main_.followOn = [this] { AfterMainFadeIn(); };
  // `主体` belongs to `main` and closes with it, before the backdrop fades out.
  main_.onCloseBegin = [this] { body_->Close(); };
  main_.onClosed = [this] { CheckQuit(); };
  main_.onSurfaceFailed = [this] { ui::ShowError(p_.desktop, 0, kNoGraphics); };
  main_.onCloseRequest = [this] { CloseMain(); };
  main_.onMouseDown = [this](int button, platform::PointPx at) {
    if (button == platform::kLeftButton) body_->PressThroughAt(at);
  };
  // The system raises the window it activates; `主体` lies on it and must stay visible.
  main_.onActivated = [this] { body_->KeepInFront(); };

  // `菜单` belongs to `menu` and goes with it.
  menu_.followOn = [this] { menuItems_.Show(menu_.hwnd(), menu_.Rect()); };
  menu_.onCloseBegin = [this] {
    menuPlaced_ = false;
    menuItems_.Close();
  };
  menu_.onClosed = [this] { CheckQuit(); };
  menu_.onCloseRequest = [this] { CloseMenu(); };

  about_.closeOnDoubleClick = true;
  about_.onClosed = [this] { CheckQuit(); };
}

WindowSet::~WindowSet() = default;

platform::RectPx WindowSet::BodyRectFor(const platform::RectPx& mainRect) {
  namespace L = ui::layout;
  ui::RectTw m = ui::ToTwips(mainRect);
  return ui::ToPixels({m.left + L::kBodyOffsetLeft, m.top + L::kBodyOffsetTop, L::kBodyWidth,
                       L::kBodyHeight});
}

void WindowSet::Start() {
  ui::RunGuarded(p_.desktop, 0, [this] { main_.Show(); });
  CheckQuit();
}

void WindowSet::AfterMainFadeIn() {
  const platform::Hwnd owner = main_.hwnd();
  const platform::RectPx place = BodyRectFor(p_.desktop.GetRect(owner));
  // `主体`'s start handler runs inside this request to show it. When the working files
  // cannot be made the launcher stops here, with that message.
  if (!ui::RunGuarded(p_.desktop, owner, [&] { body_->Open(owner, place); })) {
    main_.Close();
    return;
  }
  // The start may have shown a message, and the player may have closed the launcher from
  // the tray meanwhile: then there is nothing left to place or watch.
  if (main_.state() != ui::LayeredPngWindow::State::Open || !body_->IsOpen()) return;
  body_->Move(place);
  ui::RunGuarded(p_.desktop, owner,
                 [this] { online_.OpenMonitor(body_->settings(), [this] { DismissMenu(); }); });
}

void WindowSet::ShowMainWindows() {
  if (main_.state() != ui::LayeredPngWindow::State::Open || !body_->IsOpen()) return;
  main_.Show();
  body_->ShowAt(main_.hwnd(), BodyRectFor(p_.desktop.GetRect(main_.hwnd())));
  body_->ClearButtonHover();
}

void WindowSet::HideMainWindows() { main_.Hide(); }

void WindowSet::CloseMain() { main_.Close(); }

void WindowSet::OpenMenuAtPointer() {
  const ui::RectTw place = ui::MenuPlacement(p_.desktop.CursorPos(), p_.desktop.ScreenSize());
  // A menu that is not open yet fades in at its first place; it moves once fully visible.
  menu_.Show();
  if (menu_.state() == ui::LayeredPngWindow::State::Open) {  // else closed meanwhile
    menu_.Move(place);
    menuItems_.Show(menu_.hwnd(), place);
    menuItems_.Move(place);
    // A popup menu is the foreground window while it is open: another window taking the
    // foreground from it is what dismisses it.
    if (menuItems_.IsOpen()) p_.desktop.BringToFront(menuItems_.hwnd(), true);
    menuPlaced_ = menuItems_.IsOpen();
  }
  body_->ClearButtonHover();
}

void WindowSet::DismissMenu() {
  // Until it has been placed the menu is still opening (its fade-in lets the monitor tick):
  // whatever had the foreground before says nothing about the menu yet.
  if (menuPlaced_) CloseMenu();
}

void WindowSet::CloseMenu() {
  menuPlaced_ = false;
  menuItems_.Close();
  menu_.Close();
}

void WindowSet::ShowAbout() { about_.Show(); }

void WindowSet::ExitFromMenu() {
  CloseMenu();
  main_.Close();  // `主体` closes with it
  body_->Close();
  CloseSubmitter();
  CloseMonitor();
  about_.Close();
  CheckQuit();
}

void WindowSet::CloseMonitor() {
  // The worker may fail on its way out; the rest still closes.
  ui::RunGuarded(p_.desktop, 0, [this] {
    if (online_.MonitorOpen()) online_.CloseMonitor();
  });
}

void WindowSet::CloseSubmitter() {
  ui::RunGuarded(p_.desktop, 0, [this] {
    if (online_.SubmitterOpen()) online_.CloseSubmitter();
  });
}

void WindowSet::CloseOthersForBody() {
  main_.Close();
  menu_.Close();
  menuItems_.Close();
  CloseMonitor();
  CloseSubmitter();
  about_.Close();
}

void WindowSet::MoveMainBy(int dxPx, int dyPx) {
  if (!main_.hwnd()) return;
  platform::RectPx r = p_.desktop.GetRect(main_.hwnd());
  r.left += dxPx;
  r.top += dyPx;
  p_.desktop.Move(main_.hwnd(), r);
}

bool WindowSet::AnyOpen() const {
  return main_.IsOpen() || body_->Exists() || menu_.IsOpen() || menuItems_.IsOpen() ||
         about_.IsOpen() || online_.MonitorOpen() || online_.SubmitterOpen();
}

void WindowSet::CheckQuit() {
  if (quit_ || AnyOpen()) return;
  quit_ = true;
  p_.loop.Quit();
}

}  // namespace tovren::core
