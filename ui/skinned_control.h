#pragma once
// A picture control drawn from one family of skin bitmaps, with the hover machine every
// skinned control shares: the hover mark "In" in its tag and the mouse capture tell whether
// the pointer is over it. Capturing on entry is what lets the control see the move that
// leaves it, however fast the pointer goes.
#include <string>

#include "platform/api/desktop.h"

namespace tovren::ui {

class SkinnedControl {
 public:
  // widthTw, heightTw: the control's size in twips (it is exactly the size of its bitmaps).
  SkinnedControl(platform::Desktop& desktop, int family, int widthTw, int heightTw)
      : desktop_(desktop), family_(family), width_(widthTw), height_(heightTw) {}

  void Attach(platform::Hwnd control) { control_ = control; tag_.clear(); }
  platform::Hwnd hwnd() const { return control_; }
  int family() const { return family_; }

  const std::string& Tag() const { return tag_; }
  bool Hovered() const { return tag_ == kHoverMark; }
  void ClearTag() { tag_.clear(); }
  // The click rule: the mark is cleared and the capture given up (the window system gives
  // it up when the button comes up), so the next move starts the hover again from the top.
  void Clicked();

  // Shows LoadSkinBitmap(family, state).
  void ShowState(int state);

  // One pointer move at (x, y) twips relative to the control. Does nothing unless the
  // guard holds. The right and bottom edges (x == width, y == height) still count as inside.
  void Hover(int xTw, int yTw, bool guard = true);
  // The same for a move the desktop reports in pixels.
  void HoverPx(int xPx, int yPx, bool guard = true);
  // The left button came up at (x, y) pixels relative to the control. A press may have
  // ended its hover without a move to tell it (a check box the press switched on no longer
  // hovers; a release beyond the edge that no move reported first): holding the capture
  // then would send the next press anywhere to this control, so it lets the capture go.
  // A control still hovered keeps it, for the click that follows.
  void ButtonUpPx(int xPx, int yPx, bool guard = true);

  static constexpr const char* kHoverMark = "In";

 private:
  bool Outside(int xTw, int yTw) const;
  platform::Desktop& desktop_;
  int family_;
  int width_;
  int height_;
  platform::Hwnd control_ = 0;
  std::string tag_;
};

}  // namespace tovren::ui
