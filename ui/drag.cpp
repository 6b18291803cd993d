#include "ui/drag.h"

namespace tovren::ui {

void DragHandle::OnMouseMove(int buttons, int xTw, int yTw, const MoveBoth& moveBoth) {
  if (buttons == platform::kLeftButton) {
    int dx = xTw - originX_;
    int dy = yTw - originY_;
    if (dx != 0 || dy != 0) moveBoth(dx, dy);
  } else if (buttons == 0) {
    originX_ = xTw;
    originY_ = yTw;
    Release();  // the button came up somewhere the click did not reach us
  }
}

void DragHandle::OnMouseDown(int button) {
  if (button != platform::kLeftButton || !label_) return;
  desktop_.SetCapture(label_);
  captured_ = true;
}

void DragHandle::OnClick() { Release(); }

void DragHandle::Release() {
  if (!captured_) return;
  captured_ = false;
  desktop_.ReleaseCapture();
}

}  // namespace tovren::ui
