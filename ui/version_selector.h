#pragma once
// Two skinned devices of `主体` that set settings without a visible text field: the home-made
// version drop-down (the box `下拉框`, the list `下拉项` with the entries `版本号` 0-2) and the
// platform browse button `浏览`, which works only while option switch 8 is on.
#include <array>

#include "core/settings.h"
#include "platform/api/desktop.h"
#include "ui/skinned_control.h"

namespace tovren::ui {

// The file-open dialog of the browse button.
platform::OpenFileRequest BrowseRequest(platform::Hwnd owner, const std::string& currentPath);

class VersionSelector {
 public:
  VersionSelector(platform::Desktop& desktop, core::Settings& settings);

  SkinnedControl& box() { return 下拉框_; }
  SkinnedControl& entry(int i) { return 版本号_[static_cast<std::size_t>(i)]; }
  SkinnedControl& browse() { return 浏览_; }
  const SkinnedControl& box() const { return 下拉框_; }
  const SkinnedControl& entry(int i) const { return 版本号_[static_cast<std::size_t>(i)]; }
  const SkinnedControl& browse() const { return 浏览_; }

  // The drop-down box: hover, a left press opens or closes the list, a click clears the
  // hover marks of the box and of the entries (entries hidden while hovered keep theirs).
  void BoxMove(int xPx, int yPx);
  void BoxDown(int button);
  void BoxClick();

  // Entry i: hover; a left press closes the list, sets the version to i + 1 and shows the
  // normal bitmaps of all three entries.
  void EntryMove(int i, int xPx, int yPx);
  void EntryDown(int i, int button);

  // The browse button, only while option switch 8 is exactly "1": a left press asks for
  // the platform program with the file dialog; cancelling keeps the path.
  void BrowseMove(int xPx, int yPx);
  void BrowseDown(int button, platform::Hwnd owner);
  void BrowseClick();

  // The left button came up on one of the selector's controls (the hover machine's rule).
  void ButtonUp(platform::Hwnd control, int xPx, int yPx);

 private:
  bool BrowseAllowed() const;
  platform::Desktop& desktop_;
  core::Settings& s_;
  SkinnedControl 下拉框_;
  std::array<SkinnedControl, 3> 版本号_;
  SkinnedControl 浏览_;
};

}  // namespace tovren::ui
