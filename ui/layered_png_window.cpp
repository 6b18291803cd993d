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
    // Nothing can be drawn: the window closes at once, without fade and follow-on.
    p_.desktop.Destroy(hwnd_);
    hwnd_ = 0;
    state_ = State::Closed;
    if (onSurfaceFailed) onSurfaceFailed();
    if (onClosed) onClosed();
    return;
  }
  // The layer takes the image's size.
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

  for (int alpha = kFadeStep; alpha <= 255; alpha += kFadeStep) {
    surface_->Present(static_cast<std::uint8_t>(alpha));
    p_.loop.PumpPending();
  }
  state_ = State::Open;
  if (closeRequested_) {
    RunClose();
    return;
  }
  if (followOn) followOn();
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
  for (int alpha = 255 - kFadeStep; alpha >= 0; alpha -= kFadeStep) {
    surface_->Present(static_cast<std::uint8_t>(alpha));
    p_.loop.PumpPending();
  }
  surface_.reset();
  p_.desktop.Destroy(hwnd_);
  hwnd_ = 0;
  state_ = State::Closed;
  if (onClosed) onClosed();
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

}  // namespace tovren::ui
