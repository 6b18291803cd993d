#include "ui/skinned_control.h"

#include "ui/skin.h"
#include "ui/units.h"

namespace tovren::ui {

void SkinnedControl::ShowState(int state) {
  if (control_) desktop_.SetPicture(control_, LoadSkinBitmap(family_, state));
}

void SkinnedControl::Clicked() {
  tag_.clear();
  desktop_.ReleaseCapture();
}

bool SkinnedControl::Outside(int xTw, int yTw) const {
  return xTw < 0 || yTw < 0 || xTw > width_ || yTw > height_;
}

void SkinnedControl::Hover(int xTw, int yTw, bool guard) {
  if (!guard || !control_) return;
  if (tag_ != kHoverMark) {
    tag_ = kHoverMark;
    desktop_.SetCapture(control_);
    ShowState(kHover);
  } else if (Outside(xTw, yTw)) {
    tag_.clear();
    desktop_.ReleaseCapture();
    ShowState(kNormal);
  }
}

void SkinnedControl::ButtonUpPx(int xPx, int yPx, bool guard) {
  if (!control_ || tag_ != kHoverMark) return;  // it holds no capture of its hover
  if (!guard) {
    // Its picture is what the press made it (a box switched on keeps "03").
    tag_.clear();
    desktop_.ReleaseCapture();
  } else if (Outside(PixelsToTwips(xPx), PixelsToTwips(yPx))) {
    Hover(PixelsToTwips(xPx), PixelsToTwips(yPx), guard);  // the move that left it
  }
}

void SkinnedControl::HoverPx(int xPx, int yPx, bool guard) {
  Hover(PixelsToTwips(xPx), PixelsToTwips(yPx), guard);
}

}  // namespace tovren::ui
