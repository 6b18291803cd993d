#pragma once
// The drag handle `移动`: a transparent label across the top of `主体`. The launcher has no
// system caption, so dragging the handle with the left button moves `主体` and the backdrop
// `main` together, by the same amount.
#include <functional>

#include "platform/api/desktop.h"

namespace tovren::ui {

class DragHandle {
 public:
  explicit DragHandle(platform::Desktop& desktop) : desktop_(desktop) {}
  void Attach(platform::Hwnd label) { label_ = label; }
  platform::Hwnd hwnd() const { return label_; }

  // Moves both windows by dx, dy twips.
  using MoveBoth = std::function<void(int dxTw, int dyTw)>;

  // A pointer move over the handle, (x, y) in twips relative to it. With exactly the left
  // button held both windows follow the pointer; with no button held the position becomes
  // the drag origin; any other button state does nothing.
  void OnMouseMove(int buttons, int xTw, int yTw, const MoveBoth& moveBoth);
  // The left button went down on the handle: hold the capture while it is held, so that a
  // pointer jumping past the handle's edge still drags.
  void OnMouseDown(int button);
  void OnClick();

  int originX() const { return originX_; }
  int originY() const { return originY_; }

 private:
  void Release();
  platform::Desktop& desktop_;
  platform::Hwnd label_ = 0;
  int originX_ = 0;
  int originY_ = 0;
  bool captured_ = false;
};

}  // namespace tovren::ui
