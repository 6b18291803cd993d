#include "ui/layered_png_window.h"

#include "ui/event_boundary.h"

namespace tovren::ui {

LayeredPngWindow::LayeredPngWindow(const platform::Platform& platform, Spec spec)
    : p_(platform), spec_(std::move(spec)) {}

LayeredPngWindow::~LayeredPngWindow() {
  surface_.reset();
  if (hwnd_) p_.desktop.Destroy(hwnd_);
}

void LayeredPngWindow::Show() {
  switch (state_) {
    case State::Closed:
      Open();
      break;
    case State::Open:
      p_.desktop.Show(hwnd_, true);
      if (spec_.inFront) p_.desktop.BringToFront(hwnd_, true);
      break;
    case State::Opening:  // it becomes visible by its own fade
    case State::Closing:  // too late to show it again
      break;
  }
}

void LayeredPngWindow::Hide() {
  if (hwnd_) p_.desktop.Show(hwnd_, false);
}

bool LayeredPngWindow::IsVisible() const { return hwnd_ && p_.desktop.IsVisible(hwnd_); }

RectTw LayeredPngWindow::Rect() const {
  return hwnd_ ? ToTwips(p_.desktop.GetRect(hwnd_)) : RectTw{};
}

void LayeredPngWindow::Move(const RectTw& rect) {
  if (hwnd_) p_.desktop.Move(hwnd_, ToPixels(rect));
}

void LayeredPngWindow::Open() {
  platform::RectPx rect{0, 0, spec_.size.width, spec_.size.height};
  if (spec_.firstPlace) {
    rect.left = TwipsToPixels(spec_.firstPlace->left);
    rect.top = TwipsToPixels(spec_.firstPlace->top);
  } else {
    platform::SizePx screen = p_.desktop.ScreenSize();
    rect.left = (screen.width - rect.width) / 2;
    rect.top = (screen.height - rect.height) / 2;
  }
  platform::WindowSpec window;
  window.title = spec_.title;
  window.rect = rect;
  hwnd_ = p_.desktop.CreateTopLevel(window, this);
  state_ = State::Opening;
  closeRequested_ = false;

  // The graphics library's start, the decoding and the off-screen surface in one step.
  auto png = p_.resources.Load("PNG", spec_.pngId);
  surface_ = p_.desktop.CreateLayeredSurface(hwnd_, png ? *png : platform::Bytes{});
  if (!surface_) {
    // The graphics library did not start: nothing can be drawn, and the window closes at
    // once, without fade and follow-on.
    p_.desktop.Destroy(hwnd_);
    hwnd_ = 0;
    state_ = State::Closed;
    if (onSurfaceFailed) onSurfaceFailed();
    if (onClosed) onClosed();
    return;
  }
  // The layer takes the image's size. A picture that could not be decoded has none: the
  // window keeps its designed size and stays invisible, and the rest goes on.
  platform::SizePx image = surface_->ImageSize();
  if (image.width > 0 && image.height > 0 &&
      (image.width != rect.width || image.height != rect.height)) {
    rect.width = image.width;
    rect.height = image.height;
    p_.desktop.Move(hwnd_, rect);
  }
  p_.desktop.AddLayeredStyle(hwnd_);
  p_.desktop.SetTopmost(hwnd_);
  p_.desktop.Show(hwnd_, true);  // layered without content yet: nothing is visible
  if (spec_.inFront) p_.desktop.BringToFront(hwnd_, true);

  std::exception_ptr failure;
  Fade(kFadeStep, 255, kFadeStep, failure);
  // Asked again once it shows: Wine lifts `主体` over a window whose layer appears for the
  // first time, without telling either of them.
  if (spec_.inFront && hwnd_) p_.desktop.BringToFront(hwnd_, true);
  state_ = State::Open;
  if (closeRequested_) {
    RunClose();
  } else if (followOn) {
    try {
      followOn();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  Report(failure);
}

void LayeredPngWindow::Fade(int from, int to, int step, std::exception_ptr& failure) {
  for (int alpha = from; step > 0 ? alpha <= to : alpha >= to; alpha += step) {
    surface_->Present(static_cast<std::uint8_t>(alpha));
    try {
      p_.loop.PumpPending();
    } catch (...) {
      // A half-faded window that nobody finishes would stay so for ever: the fade goes on
      // and the failure is told once the window has reached its state.
      if (!failure) failure = std::current_exception();
    }
  }
}

void LayeredPngWindow::Report(std::exception_ptr failure) {
  if (failure) RunGuarded(p_.desktop, 0, [&] { std::rethrow_exception(failure); });
}

void LayeredPngWindow::Close() {
  if (state_ == State::Opening) {
    closeRequested_ = true;
    return;
  }
  if (state_ != State::Open) return;
  RunClose();
}

void LayeredPngWindow::RunClose() {
  state_ = State::Closing;
  // Whatever goes wrong in the windows that close with this one, this one still closes.
  if (onCloseBegin) RunGuarded(p_.desktop, hwnd_, onCloseBegin);
  std::exception_ptr failure;
  Fade(255 - kFadeStep, 0, -kFadeStep, failure);
  surface_.reset();
  p_.desktop.Destroy(hwnd_);
  hwnd_ = 0;
  state_ = State::Closed;
  if (onClosed) {
    try {
      onClosed();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }
  Report(failure);
}

void LayeredPngWindow::OnMouseDown(platform::Hwnd /*control*/, int button, int x, int y) {
  if (!onMouseDown || state_ != State::Open) return;
  const platform::RectPx at = p_.desktop.GetRect(hwnd_);
  RunGuarded(p_.desktop, hwnd_, [&] { onMouseDown(button, {at.left + x, at.top + y}); });
}

void LayeredPngWindow::OnDoubleClick(platform::Hwnd /*control*/) {
  if (!closeOnDoubleClick) return;
  RunGuarded(p_.desktop, hwnd_, [this] { Close(); });
}

void LayeredPngWindow::OnCloseRequest(platform::Hwnd /*window*/) {
  RunGuarded(p_.desktop, hwnd_, [this] {
    if (onCloseRequest)
      onCloseRequest();
    else
      Close();
  });
}

void LayeredPngWindow::OnActivate(platform::Hwnd /*window*/) {
  if (onActivated && state_ == State::Open) RunGuarded(p_.desktop, hwnd_, onActivated);
}

}  // namespace tovren::ui
