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

void SkinnedControl::Hover(int xTw, int yTw, bool guard) {
  if (!guard || !control_) return;
  if (tag_ != kHoverMark) {
    tag_ = kHoverMark;
    desktop_.SetCapture(control_);
    ShowState(kHover);
  } else if (xTw < 0 || yTw < 0 || xTw > width_ || yTw > height_) {
    tag_.clear();
    desktop_.ReleaseCapture();
    ShowState(kNormal);
  }
}

void SkinnedControl::HoverPx(int xPx, int yPx, bool guard) {
  Hover(PixelsToTwips(xPx), PixelsToTwips(yPx), guard);
}

}  // namespace tovren::ui
