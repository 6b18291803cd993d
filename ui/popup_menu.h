#pragma once
// The tray popup menu: the layered backdrop `menu` (a LayeredPngWindow) and in front of it
// the colour-keyed window `菜单` holding three picture items: exit, show the main windows,
// about.
#include <array>
#include <functional>

#include "platform/api/platform.h"
#include "ui/skinned_control.h"
#include "ui/units.h"

namespace tovren::ui {

inline constexpr int kMenuWidthPx = 150;
inline constexpr int kMenuHeightPx = 300;
// Where `menu` first opens; it is moved to the pointer once it is fully visible.
inline constexpr RectTw kMenuFirstPlace{27075, 10230, 2250, 4500};

// The popup's rectangle for a pointer at `pointer` (screen pixels): its lower edge at the
// pointer; to the right of the pointer when the screen width minus 150 is at least x,
// else to its left. Nothing is clamped to the screen.
RectTw MenuPlacement(platform::PointPx pointer, platform::SizePx screen);

class 菜单 : public platform::WindowEvents {
 public:
  struct Actions {
    std::function<void()> exit;      // item 0
    std::function<void()> showMain;  // item 1
    std::function<void()> about;     // item 2
    std::function<void()> dismiss;   // the system asks the menu to close
  };

  菜单(const platform::Platform& platform, Actions actions);
  ~菜单() override;
  菜单(const 菜单&) = delete;
  菜单& operator=(const 菜单&) = delete;

  // Creates the window when it is not open (owned by `owner`, at `place`), then shows it.
  void Show(platform::Hwnd owner, const RectTw& place);
  void Move(const RectTw& place);
  void Close();
  bool IsOpen() const;
  platform::Hwnd hwnd() const { return hwnd_; }
  const SkinnedControl& item(int i) const { return items_[static_cast<std::size_t>(i)]; }

  static constexpr const char* kTitle = "菜单";

  // platform::WindowEvents
  void OnMouseMove(platform::Hwnd control, int buttons, int x, int y) override;
  void OnMouseDown(platform::Hwnd control, int button, int x, int y) override;
  void OnMouseUp(platform::Hwnd control, int button, int x, int y) override;
  void OnClick(platform::Hwnd control) override;
  void OnCloseRequest(platform::Hwnd window) override;

 private:
  int ItemOf(platform::Hwnd control) const;
  platform::Platform p_;
  Actions actions_;
  platform::Hwnd hwnd_ = 0;
  std::array<SkinnedControl, 3> items_;
};

}  // namespace tovren::ui
