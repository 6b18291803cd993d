#include "ui/popup_menu.h"

#include "ui/event_boundary.h"
#include "ui/skin.h"

namespace tovren::ui {
namespace {

// Items inside `菜单`, twips: exit, show, about.
constexpr std::array<RectTw, 3> kItems{{
    {510, 3150, 1125, 1095},
    {1005, 1770, 870, 810},
    {285, 420, 780, 795},
}};

}  // namespace

RectTw MenuPlacement(platform::PointPx pointer, platform::SizePx screen) {
  const int screenWidthPx = screen.width;  // the screen width in twips divided by 15
  RectTw r{0, 0, PixelsToTwips(kMenuWidthPx), PixelsToTwips(kMenuHeightPx)};
  r.left = screenWidthPx - kMenuWidthPx >= pointer.x ? PixelsToTwips(pointer.x)
                                                     : PixelsToTwips(pointer.x - kMenuWidthPx);
  r.top = PixelsToTwips(pointer.y - kMenuHeightPx);
  return r;
}

菜单::菜单(const platform::Platform& platform, Actions actions)
    : p_(platform),
      actions_(std::move(actions)),
      items_{SkinnedControl(platform.desktop, kFamilyMenuItem0 + 0, kItems[0].width, kItems[0].height),
             SkinnedControl(platform.desktop, kFamilyMenuItem0 + 1, kItems[1].width, kItems[1].height),
             SkinnedControl(platform.desktop, kFamilyMenuItem0 + 2, kItems[2].width, kItems[2].height)} {}

菜单::~菜单() {
  if (IsOpen()) p_.desktop.Destroy(hwnd_);
}

bool 菜单::IsOpen() const { return hwnd_ && p_.desktop.IsWindow(hwnd_); }

void 菜单::Show(platform::Hwnd owner, const RectTw& place) {
  if (!IsOpen()) {
    platform::WindowSpec spec;
    spec.title = kTitle;
    spec.rect = ToPixels(place);
    spec.owner = owner;
    spec.backgroundBitmap = kBackMenu;
    spec.backgroundColor = 0xFF00FF;
    hwnd_ = p_.desktop.CreateTopLevel(spec, this);
    p_.desktop.AddLayeredStyle(hwnd_);
    p_.desktop.SetColorKey(hwnd_, 0xFF00FF);
    p_.desktop.SetTopmost(hwnd_);
    for (std::size_t i = 0; i < items_.size(); ++i) {
      platform::ControlSpec c;
      c.kind = platform::ControlKind::Picture;
      c.parent = hwnd_;
      c.rect = ToPixels(kItems[i]);
      c.bitmap = LoadSkinBitmap(items_[i].family(), kNormal);
      items_[i].Attach(p_.desktop.CreateControl(c, this));
    }
  } else if (owner) {
    p_.desktop.SetOwner(hwnd_, owner);
  }
  p_.desktop.Show(hwnd_, true);
}

void 菜单::Move(const RectTw& place) {
  if (IsOpen()) p_.desktop.Move(hwnd_, ToPixels(place));
}

void 菜单::Close() {
  if (IsOpen()) p_.desktop.Destroy(hwnd_);
  hwnd_ = 0;
  for (auto& item : items_) item.Attach(0);
}

int 菜单::ItemOf(platform::Hwnd control) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (control && items_[i].hwnd() == control) return static_cast<int>(i);
  return -1;
}

void 菜单::OnMouseMove(platform::Hwnd control, int /*buttons*/, int x, int y) {
  int i = ItemOf(control);
  if (i < 0) return;
  RunGuarded(p_.desktop, hwnd_, [&] { items_[static_cast<std::size_t>(i)].HoverPx(x, y); });
}

void 菜单::OnMouseDown(platform::Hwnd control, int button, int /*x*/, int /*y*/) {
  int i = ItemOf(control);
  if (i < 0 || button != platform::kLeftButton) return;
  const std::function<void()>* action =
      i == 0 ? &actions_.exit : i == 1 ? &actions_.showMain : &actions_.about;
  if (*action) RunGuarded(p_.desktop, 0, *action);
}

void 菜单::OnMouseUp(platform::Hwnd control, int button, int x, int y) {
  int i = ItemOf(control);
  if (i < 0 || button != platform::kLeftButton) return;
  RunGuarded(p_.desktop, hwnd_, [&] { items_[static_cast<std::size_t>(i)].ButtonUpPx(x, y); });
}

void 菜单::OnClick(platform::Hwnd control) {
  int i = ItemOf(control);
  if (i >= 0) items_[static_cast<std::size_t>(i)].Clicked();
}

void 菜单::OnCloseRequest(platform::Hwnd /*window*/) {
  // Alt+F4 on the menu dismisses it, as choosing nothing would.
  if (actions_.dismiss) RunGuarded(p_.desktop, 0, actions_.dismiss);
}

}  // namespace tovren::ui
