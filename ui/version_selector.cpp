#include "ui/version_selector.h"

#include "ui/layout.h"
#include "ui/skin.h"

namespace tovren::ui {

platform::OpenFileRequest BrowseRequest(platform::Hwnd owner, const std::string& currentPath) {
  platform::OpenFileRequest r;
  r.owner = owner;
  r.title = "选择游戏平台";
  r.filters = {{"可执行文件(*.exe)", "*.exe"}, {"所有文件(*.*)", "*.*"}};
  r.initialFolder = currentPath;
  r.flags = 0x1804;  // hide read-only, path must exist, file must exist
  r.bufferChars = 255;
  return r;
}

VersionSelector::VersionSelector(platform::Desktop& desktop, core::Settings& settings)
    : desktop_(desktop),
      s_(settings),
      下拉框_(desktop, kFamilyDropDownBox, layout::k下拉框.rect.width, layout::k下拉框.rect.height),
      版本号_{SkinnedControl(desktop, kFamilyVersionEntry0 + 0, layout::版本号(0).rect.width,
                             layout::版本号(0).rect.height),
              SkinnedControl(desktop, kFamilyVersionEntry0 + 1, layout::版本号(1).rect.width,
                             layout::版本号(1).rect.height),
              SkinnedControl(desktop, kFamilyVersionEntry0 + 2, layout::版本号(2).rect.width,
                             layout::版本号(2).rect.height)},
      浏览_(desktop, kFamilyBrowse, layout::k浏览.rect.width, layout::k浏览.rect.height) {}

void VersionSelector::BoxMove(int xPx, int yPx) { 下拉框_.HoverPx(xPx, yPx); }

void VersionSelector::BoxDown(int button) {
  if (button != platform::kLeftButton) return;
  s_.下拉项辅助.Set(s_.下拉项辅助.Text() == "0" ? "1" : "0");
}

void VersionSelector::BoxClick() {
  下拉框_.Clicked();
  for (auto& e : 版本号_) e.ClearTag();
}

void VersionSelector::EntryMove(int i, int xPx, int yPx) {
  if (i < 0 || i > 2) return;
  版本号_[static_cast<std::size_t>(i)].HoverPx(xPx, yPx);
}

void VersionSelector::EntryDown(int i, int button) {
  if (i < 0 || i > 2 || button != platform::kLeftButton) return;
  s_.下拉项辅助.Set("0");
  s_.版本编号.Set(std::to_string(i + 1));
  for (auto& e : 版本号_) e.ShowState(kNormal);
}

bool VersionSelector::BrowseAllowed() const { return s_.复选框辅助[7].Text() == "1"; }

void VersionSelector::BrowseMove(int xPx, int yPx) { 浏览_.HoverPx(xPx, yPx, BrowseAllowed()); }

void VersionSelector::BrowseDown(int button, platform::Hwnd owner) {
  if (button != platform::kLeftButton || !BrowseAllowed()) return;
  auto chosen = desktop_.OpenFile(BrowseRequest(owner, s_.路径.Text()));
  if (!chosen) {
    浏览_.ClearTag();
    浏览_.ShowState(kNormal);
    return;
  }
  s_.路径.Set(*chosen);
  浏览_.ShowState(kNormal);
  浏览_.ClearTag();
}

void VersionSelector::BrowseClick() { 浏览_.Clicked(); }

void VersionSelector::ButtonUp(platform::Hwnd control, int xPx, int yPx) {
  if (!control) return;
  if (control == 下拉框_.hwnd()) 下拉框_.ButtonUpPx(xPx, yPx);
  if (control == 浏览_.hwnd()) 浏览_.ButtonUpPx(xPx, yPx, BrowseAllowed());
  for (auto& e : 版本号_)
    if (control == e.hwnd()) e.ButtonUpPx(xPx, yPx);
}

}  // namespace tovren::ui
