#pragma once
// A top-level, always-on-top layered window whose whole appearance is one PNG image with
// per-pixel alpha: the backdrop `main`, the menu backdrop `menu` and the about window `关于`.
// Opening fades it in over 51 frames, closing fades it out over 51 frames; between frames
// the waiting window events are handled.
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/api/platform.h"
#include "ui/units.h"

namespace tovren::ui {

class LayeredPngWindow : public platform::WindowEvents {
 public:
  struct Spec {
    std::string title;               // "main", "menu", "关于"
    std::string pngId;               // resource of type "PNG": "101", "102", "103"
    platform::SizePx size;           // the designed client area, equal to the image
    std::optional<RectTw> firstPlace;  // left/top in twips; nothing: centred on the screen
    // Opens in front of every other window of ours and takes the foreground (`关于`).
    bool inFront = false;
  };

  enum class State { Closed, Opening, Open, Closing };

  LayeredPngWindow(const platform::Platform& platform, Spec spec);
  ~LayeredPngWindow() override;
  LayeredPngWindow(const LayeredPngWindow&) = delete;
  LayeredPngWindow& operator=(const LayeredPngWindow&) = delete;

  // What the window does once it is fully visible (main shows `主体` and `动态`).
  std::function<void()> followOn;
  // When its close begins, before the fade-out (main: `主体` closes with it).
  std::function<void()> onCloseBegin;
  // After it has been destroyed, also when it could not open.
  std::function<void()> onClosed;
  // When the graphics could not be made and the window closed at once.
  std::function<void()> onSurfaceFailed;
  // The system asks the window to close (Alt+F4); default: Close().
  std::function<void()> onCloseRequest;
  // A button pressed on the picture, at this point of the screen (pixels).
  std::function<void(int button, platform::PointPx screen)> onMouseDown;
  // The system made it the active window.
  std::function<void()> onActivated;
  bool closeOnDoubleClick = false;  // `关于`

  // Opens the window with its whole sequence when it is not open (returning after the
  // fade-in and the follow-on), else makes it visible without a fade.
  void Show();
  void Hide();
  // Fades out, releases the drawing and destroys the window. A close asked for during the
  // fade-in waits until the fade-in has ended (the fade's handles must stay valid).
  void Close();

  State state() const { return state_; }
  bool IsOpen() const { return state_ != State::Closed; }
  bool IsVisible() const;
  platform::Hwnd hwnd() const { return hwnd_; }
  // Position and size on the screen, twips at 15 per pixel.
  RectTw Rect() const;
  void Move(const RectTw& rect);

  // platform::WindowEvents
  void OnMouseDown(platform::Hwnd control, int button, int x, int y) override;
  void OnDoubleClick(platform::Hwnd control) override;
  void OnCloseRequest(platform::Hwnd window) override;
  void OnActivate(platform::Hwnd window) override;

  static constexpr int kFadeStep = 5;

 private:
  void Open();
  void RunClose();
  // One fade: a frame at each alpha, the waiting events handled after each. A handler that
  // fails in between does not stop the fade; the first failure is kept in `failure`.
  void Fade(int from, int to, int step, std::exception_ptr& failure);
  void Report(std::exception_ptr failure);
  platform::Platform p_;
  Spec spec_;
  State state_ = State::Closed;
  platform::Hwnd hwnd_ = 0;
  std::unique_ptr<platform::LayeredSurface> surface_;
  bool closeRequested_ = false;
};

}  // namespace tovren::ui
