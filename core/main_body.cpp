#include "core/main_body.h"

#include "core/field_rules.h"
#include "core/paths.h"
#include "core/settings_file.h"
#include "core/window_set.h"
#include "platform/api/errors.h"
#include "ui/check_boxes.h"
#include "ui/event_boundary.h"
#include "ui/skin.h"
#include "ui/units.h"

namespace tovren::core {

namespace {

using platform::Hwnd;
using ui::layout::Container;

constexpr const char* kIpToolName = "Zarnu_IP.exe";

// The player's messages when the working files cannot be made; start-up stops there.
UserError NoWorkingFolder(const std::string& cause) {
  return UserError(
      "无法创建工作文件夹 zarnu。请确认游戏文件夹可以写入（或以管理员身份运行启动器），然后重新启动。",
      "cannot create the working folder zarnu: " + cause);
}
UserError WorkingFolderIsAFile() {
  return UserError(
      "游戏文件夹里有一个名为 zarnu 的文件，占用了工作文件夹的位置。请将它改名或删除，然后重新启动。",
      "an entry named zarnu exists but is a file");
}
UserError NoIpTool(const std::string& cause) {
  return UserError(
      "无法写入 zarnu\\Zarnu_IP.exe。请确认游戏文件夹可以写入（或以管理员身份运行启动器），然后重新启动。",
      "cannot write zarnu\\Zarnu_IP.exe: " + cause);
}
UserError IpToolMissingFromLauncher() {
  return UserError("启动器文件不完整，缺少 IP 直连工具。请重新下载启动器。",
                   "the launcher carries no EXE/ZARNU_IP resource");
}

// The rule fields in reading order: the order of Tab, and where each lies in `血时`.
struct RuleSlot {
  RuleField field;
  int element;
  ui::layout::Place place;
};
constexpr std::array<RuleSlot, 19> kRuleOrder{{
    {RuleField::血量, 0, ui::layout::血量(0)}, {RuleField::血量, 1, ui::layout::血量(1)},
    {RuleField::血量, 2, ui::layout::血量(2)}, {RuleField::血量, 3, ui::layout::血量(3)},
    {RuleField::血量, 4, ui::layout::血量(4)}, {RuleField::时间, 0, ui::layout::时间(0)},
    {RuleField::时间, 1, ui::layout::时间(1)}, {RuleField::时间, 2, ui::layout::时间(2)},
    {RuleField::时间, 3, ui::layout::时间(3)}, {RuleField::时间, 4, ui::layout::时间(4)},
    {RuleField::场次, 0, ui::layout::场次(0)}, {RuleField::场次, 1, ui::layout::场次(1)},
    {RuleField::场次, 2, ui::layout::场次(2)}, {RuleField::场次, 3, ui::layout::场次(3)},
    {RuleField::场次, 4, ui::layout::场次(4)}, {RuleField::场次, 5, ui::layout::场次(5)},
    {RuleField::场次, 6, ui::layout::场次(6)}, {RuleField::场次, 7, ui::layout::场次(7)},
    {RuleField::人数, 0, ui::layout::k人数},
}};

int CodePoints(const std::string& text) {
  int n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

主体::主体(const platform::Platform& platform, WindowSet& set, launch::OnlineSteps& online)
    : p_(platform),
      set_(set),
      按钮_{ui::SkinnedControl(platform.desktop, ui::kFamilyButton0 + 0, ui::layout::k按钮[0].rect.width, ui::layout::k按钮[0].rect.height),
            ui::SkinnedControl(platform.desktop, ui::kFamilyButton0 + 1, ui::layout::k按钮[1].rect.width, ui::layout::k按钮[1].rect.height),
            ui::SkinnedControl(platform.desktop, ui::kFamilyButton0 + 2, ui::layout::k按钮[2].rect.width, ui::layout::k按钮[2].rect.height),
            ui::SkinnedControl(platform.desktop, ui::kFamilyButton0 + 3, ui::layout::k按钮[3].rect.width, ui::layout::k按钮[3].rect.height),
            ui::SkinnedControl(platform.desktop, ui::kFamilyButton0 + 4, ui::layout::k按钮[4].rect.width, ui::layout::k按钮[4].rect.height)},
      复选框_{ui::SkinnedControl(platform.desktop, ui::kFamilyCheckBox0 + 0, ui::layout::复选框(0).rect.width, ui::layout::复选框(0).rect.height),
             ui::SkinnedControl(platform.desktop, ui::kFamilyCheckBox0 + 1, ui::layout::复选框(1).rect.width, ui::layout::复选框(1).rect.height),
             ui::SkinnedControl(platform.desktop, ui::kFamilyCheckBox0 + 2, ui::layout::复选框(2).rect.width, ui::layout::复选框(2).rect.height),
             ui::SkinnedControl(platform.desktop, ui::kFamilyCheckBox0 + 3, ui::layout::复选框(3).rect.width, ui::layout::复选框(3).rect.height),
             ui::SkinnedControl(platform.desktop, ui::kFamilyCheckBox0 + 4, ui::layout::复选框(4).rect.width, ui::layout::复选框(4).rect.height),
             ui::SkinnedControl(platform.desktop, ui::kFamilyCheckBox0 + 5, ui::layout::复选框(5).rect.width, ui::layout::复选框(5).rect.height),
             ui::SkinnedControl(platform.desktop, ui::kFamilyCheckBox0 + 6, ui::layout::复选框(6).rect.width, ui::layout::复选框(6).rect.height),
             ui::SkinnedControl(platform.desktop, ui::kFamilyCheckBox0 + 7, ui::layout::复选框(7).rect.width, ui::layout::复选框(7).rect.height)},
      selector_(platform.desktop, settings_),
      移动_(platform.desktop) {
  launcher_ = std::make_unique<launch::GameLauncher>(launch::LaunchServices::From(platform),
                                                     settings_, *this, online);
  press_ = std::make_unique<launch::PressHandler>(settings_, *this, *launcher_);
}

主体::~主体() {
  if (hwnd_) p_.desktop.Destroy(hwnd_);
}

// --- opening and closing --------------------------------------------------------------------

void 主体::Open(Hwnd owner, const platform::RectPx& rect) {
  if (state_ != State::Closed) return;
  platform::WindowSpec spec;
  spec.title = kTitle;
  spec.rect = rect;
  spec.owner = owner;
  spec.backgroundBitmap = ui::kBackMain;
  spec.backgroundColor = kKeyColor;
  hwnd_ = p_.desktop.CreateTopLevel(spec, this);
  state_ = State::Starting;
  std::optional<UserError> loadError;
  try {
    loadError = StartHandler();
  } catch (...) {
    Abandon();
    throw;
  }
  p_.desktop.Show(hwnd_, true);
  state_ = State::Open;
  // A settings file that is there but cannot be read leaves the defaults; the player is
  // told once the window shows.
  if (loadError) ShowMessage(loadError->message());
}

std::optional<UserError> 主体::StartHandler() {
  // 1. The skin: see-through wherever the background is magenta, above other windows.
  p_.desktop.AddLayeredStyle(hwnd_);
  p_.desktop.SetColorKey(hwnd_, kKeyColor);
  p_.desktop.SetTopmost(hwnd_);
  // 2, 3. The working folder and the IP tool.
  MakeWorkingFiles();
  // 4, 5. Controls, starting bitmaps, text colours, typed-input limits.
  LayOut();
  // 6. The settings: every loaded value runs its field's rule.
  InstallFieldRules(settings_, *this);
  std::optional<UserError> loadError = LoadSettings(settings_, p_.files, p_.system);
  // 7. The tray icon.
  AddTrayIcon();
  return loadError;
}

void 主体::MakeWorkingFiles() {
  const std::string zarnu = ZarnuFolder(p_.system);
  auto entry = p_.files.Stat(zarnu);
  if (!entry) {
    try {
      p_.files.CreateFolder(zarnu);
    } catch (const platform::OsError& e) {
      throw NoWorkingFolder(e.what());
    }
  } else if (!entry->directory) {
    throw WorkingFolderIsAFile();
  }

  // An existing file of that name is left as it is, whatever it holds.
  const std::string tool = JoinPath(zarnu, kIpToolName);
  if (p_.files.Stat(tool)) return;
  auto bytes = p_.resources.Load("EXE", "ZARNU_IP");
  if (!bytes) throw IpToolMissingFromLauncher();
  // Written beside its place and swapped in, so that a start cut short never leaves a
  // partial tool behind that later starts would keep.
  const std::string temp = tool + ".tmp";
  try {
    p_.files.WriteWhole(temp, *bytes);
    p_.files.Replace(temp, tool);
  } catch (const platform::OsError& e) {
    try {
      if (p_.files.Stat(temp)) p_.files.Delete(temp);
    } catch (const platform::OsError&) {
    }
    throw NoIpTool(e.what());
  }
}

Hwnd 主体::Parent(Container container) const {
  switch (container) {
    case Container::Window: return hwnd_;
    case Container::开始: return 开始_;
    case Container::网络: return 网络_;
    case Container::血时: return 血时_;
    case Container::下拉项: return 下拉项_;
  }
  return hwnd_;
}

Hwnd 主体::MakeControl(platform::ControlKind kind, const ui::layout::Place& place,
                       const std::string& bitmap, const std::string& text) {
  platform::ControlSpec spec;
  spec.kind = kind;
  spec.parent = Parent(place.container);
  spec.rect = ui::ToPixels(place.rect);
  spec.bitmap = bitmap;
  spec.text = text;
  return p_.desktop.CreateControl(spec, this);
}

void 主体::LayOut() {
  namespace L = ui::layout;
  using platform::ControlKind;
  auto& d = p_.desktop;

  // Panels first: the controls inside them are their children.
  开始_ = MakeControl(ControlKind::Picture, L::k开始, ui::kPanelStart);
  网络_ = MakeControl(ControlKind::Picture, L::k网络, ui::kPanelNet);
  血时_ = MakeControl(ControlKind::Picture, L::k血时, ui::kPanelRules);
  d.Show(开始_, true);
  d.Show(网络_, false);
  d.Show(血时_, false);

  for (int i = 0; i < 5; ++i) {
    auto& b = 按钮_[static_cast<std::size_t>(i)];
    b.Attach(MakeControl(ControlKind::Picture, L::k按钮[static_cast<std::size_t>(i)],
                         ui::LoadSkinBitmap(b.family(), ui::kNormal)));
  }
  移动_.Attach(MakeControl(ControlKind::Label, L::k移动, "", ""));

  // The version picture lies on the box, the list over the first check boxes.
  selector_.box().Attach(MakeControl(ControlKind::Picture, L::k下拉框,
                                     ui::LoadSkinBitmap(ui::kFamilyDropDownBox, ui::kNormal)));
  const std::string& version = settings_.版本编号.Text();
  版本_ = MakeControl(ControlKind::Picture, L::k版本, "ojb090" + version);
  for (int i = 0; i < 8; ++i) {
    auto& c = 复选框_[static_cast<std::size_t>(i)];
    c.Attach(MakeControl(ControlKind::Picture, L::复选框(i), ui::LoadSkinBitmap(c.family(), ui::kNormal)));
  }
  下拉项_ = MakeControl(ControlKind::Picture, L::k下拉项,
                       ui::LoadSkinBitmap(ui::kFamilyDropDownList, ui::kNormal));
  for (int i = 0; i < 3; ++i) {
    auto& e = selector_.entry(i);
    e.Attach(MakeControl(ControlKind::Picture, L::版本号(i), ui::LoadSkinBitmap(e.family(), ui::kNormal)));
  }
  d.Show(下拉项_, false);

  selector_.browse().Attach(
      MakeControl(ControlKind::Picture, L::k浏览, ui::LoadSkinBitmap(ui::kFamilyBrowse, ui::kNormal)));
  平台路径_ = MakeControl(ControlKind::Label, L::k平台路径, "", L::kPathCaption);
  d.SetTextColor(平台路径_, kPathLabelDisabled);

  // The rule fields: text on the key colour, so it seems written on the backdrop's boxes.
  const platform::FontSpec font;  // "宋体" 10.5 pt bold, GB2312
  auto edit = [&](const L::Place& place, const Field& field, int limit) {
    Hwnd h = MakeControl(ControlKind::Edit, place, "", field.Text());
    d.SetFont(h, font);
    d.SetTextColor(h, kRuleTextColor);
    d.SetTextLimit(h, limit);
    return h;
  };
  for (int i = 0; i < 5; ++i) {
    const auto k = static_cast<std::size_t>(i);
    血量_[k] = edit(L::血量(i), settings_.血量[k], L::血量Limit(i));
  }
  for (int i = 0; i < 5; ++i) {
    const auto k = static_cast<std::size_t>(i);
    时间_[k] = edit(L::时间(i), settings_.时间[k], L::kRuleLimit);
  }
  for (int i = 0; i < 8; ++i) {
    const auto k = static_cast<std::size_t>(i);
    场次_[k] = edit(L::场次(i), settings_.场次[k], L::kRuleLimit);
  }
  人数_ = edit(L::k人数, settings_.人数, L::kRuleLimit);
}

void 主体::AddTrayIcon() {
  tray_.window = hwnd_;
  tray_.id = 1;
  tray_.tip = launch::kIdleTrayTip;
  trayAdded_ = true;  // removed at close whatever the shell said
  try {
    p_.desktop.AddTrayIcon(tray_);
  } catch (...) {
    // Failing to add the icon is ignored.
  }
}

void 主体::Abandon() {
  if (trayAdded_) {
    try {
      p_.desktop.RemoveTrayIcon(tray_);
    } catch (...) {
    }
    trayAdded_ = false;
  }
  if (hwnd_) p_.desktop.Destroy(hwnd_);
  ForgetControls();
  state_ = State::Closed;
}

void 主体::ForgetControls() {
  // A handler still running when the window went (a file dialog that returns after an
  // exit from the tray, say) then writes nowhere.
  hwnd_ = 0;
  开始_ = 网络_ = 血时_ = 0;
  版本_ = 下拉项_ = 平台路径_ = 0;
  血量_.fill(0);
  时间_.fill(0);
  场次_.fill(0);
  人数_ = 0;
  for (auto& b : 按钮_) b.Attach(0);
  for (auto& c : 复选框_) c.Attach(0);
  selector_.box().Attach(0);
  for (int i = 0; i < 3; ++i) selector_.entry(i).Attach(0);
  selector_.browse().Attach(0);
  移动_.Attach(0);
}

void 主体::Close() {
  if (state_ != State::Open) return;
  state_ = State::Closing;
  // 1. The settings. A failed save is told once; the close goes on.
  if (auto error = SaveSettings(settings_, p_.files, p_.system)) ShowMessage(error->message());
  // 2. The tray icon, with the record filled at start.
  if (trayAdded_) {
    try {
      p_.desktop.RemoveTrayIcon(tray_);
    } catch (...) {
    }
    trayAdded_ = false;
  }
  // 3. main, menu, 菜单, 动态, 提交, 关于.
  set_.CloseOthersForBody();
  p_.desktop.Destroy(hwnd_);
  ForgetControls();
  state_ = State::Closed;
}

void 主体::ShowAt(Hwnd owner, const platform::RectPx& rect) {
  if (!hwnd_) return;
  p_.desktop.SetOwner(hwnd_, owner);
  p_.desktop.Show(hwnd_, true);
  p_.desktop.Move(hwnd_, rect);
}

void 主体::Hide() {
  if (hwnd_) p_.desktop.Show(hwnd_, false);
}

void 主体::Move(const platform::RectPx& rect) {
  if (hwnd_) p_.desktop.Move(hwnd_, rect);
}

void 主体::ClearButtonHover() {
  for (auto& b : 按钮_) b.ClearTag();
}

void 主体::KeepInFront() {
  // The backdrop has no use for the keys and must not cover the settings: the activation
  // passes on to `主体`, which raises it (only the activated window's own raise reaches the
  // X server under Wine). After the activation of `main` is over, not inside it.
  p_.loop.Post([this] {
    if (state_ == State::Open && p_.desktop.IsVisible(hwnd_)) p_.desktop.BringToFront(hwnd_, true);
  });
}

void 主体::FocusRule(const RuleRef& ref) {
  Hwnd edit = RuleEdit(ref.field, ref.element);
  if (!edit) return;
  // The focus rule selects the text when the focus moves in; a field that has it already
  // is selected here, so that the next key replaces its value either way.
  if (p_.desktop.Focused() == edit)
    SelectAll(ref.field, ref.element);
  else
    p_.desktop.SetFocus(edit);
}

void 主体::PressThroughAt(platform::PointPx screen) {
  if (state_ != State::Open || !p_.desktop.IsVisible(hwnd_) || !p_.desktop.IsVisible(血时_)) return;
  Guarded([&] {
    const platform::RectPx body = p_.desktop.GetRect(hwnd_);
    const platform::RectPx panel = ui::ToPixels(ui::layout::k血时.rect);
    for (const RuleSlot& slot : kRuleOrder) {
      const platform::RectPx r = ui::ToPixels(slot.place.rect);
      const int left = body.left + panel.left + r.left;
      const int top = body.top + panel.top + r.top;
      if (screen.x >= left && screen.x < left + r.width && screen.y >= top &&
          screen.y < top + r.height) {
        FocusRule({slot.field, slot.element});
        return;
      }
    }
  });
}

Hwnd 主体::Panel(core::Panel panel) const {
  switch (panel) {
    case core::Panel::开始: return 开始_;
    case core::Panel::网络: return 网络_;
    case core::Panel::血时: return 血时_;
  }
  return 0;
}

Hwnd 主体::RuleEdit(RuleField field, int element) const {
  const auto k = static_cast<std::size_t>(element);
  switch (field) {
    case RuleField::血量: return element >= 0 && element < 5 ? 血量_[k] : 0;
    case RuleField::时间: return element >= 0 && element < 5 ? 时间_[k] : 0;
    case RuleField::场次: return element >= 0 && element < 8 ? 场次_[k] : 0;
    case RuleField::人数: return 人数_;
  }
  return 0;
}

// --- SettingsView -----------------------------------------------------------------------------

void 主体::ShowPanel(core::Panel panel, bool visible) {
  Hwnd h = Panel(panel);
  if (!h) return;
  // Keys go to the focused field whether it shows or not: a hidden panel's field must not
  // take what the player types next.
  if (!visible && panel == core::Panel::血时 && RuleOf(p_.desktop.Focused())) p_.desktop.SetFocus(hwnd_);
  p_.desktop.Show(h, visible);
}

void 主体::SetVersionPicture(const std::string& bitmapName) {
  if (版本_) p_.desktop.SetPicture(版本_, bitmapName);
}

void 主体::SetCheckBoxPicture(int element, const std::string& bitmapName) {
  if (element < 0 || element > 7) return;
  if (Hwnd h = 复选框_[static_cast<std::size_t>(element)].hwnd()) p_.desktop.SetPicture(h, bitmapName);
}

void 主体::ClearCheckBoxHover(int element) {
  if (element >= 0 && element < 8) 复选框_[static_cast<std::size_t>(element)].ClearTag();
}

void 主体::SetPathLabelColor(platform::Rgb color) {
  if (平台路径_) p_.desktop.SetTextColor(平台路径_, color);
}

void 主体::SetPathLabelCaption(const std::string& caption) {
  if (平台路径_) p_.desktop.SetText(平台路径_, caption);
}

void 主体::ShowVersionList(bool visible) {
  if (下拉项_) p_.desktop.Show(下拉项_, visible);
}

void 主体::ShowCheckBox(int element, bool visible) {
  if (element < 0 || element > 7) return;
  if (Hwnd h = 复选框_[static_cast<std::size_t>(element)].hwnd()) p_.desktop.Show(h, visible);
}

void 主体::SelectAll(RuleField field, int element) {
  if (Hwnd h = RuleEdit(field, element)) p_.desktop.SetSelection(h, 0, CodePoints(p_.desktop.GetText(h)));
}

void 主体::ShowRuleText(RuleField field, int element, const std::string& text) {
  Hwnd h = RuleEdit(field, element);
  // Only a real difference is written: the edit reports every text it is given as a change.
  if (h && p_.desktop.GetText(h) != text) p_.desktop.SetText(h, text);
}

// --- LaunchHost -------------------------------------------------------------------------------

void 主体::ShowButtonPicture(int element, const std::string& bitmap) {
  if (element < 0 || element > 4) return;
  if (Hwnd h = 按钮_[static_cast<std::size_t>(element)].hwnd()) p_.desktop.SetPicture(h, bitmap);
}

void 主体::HideMainWindows() {
  // Without a tray icon the hidden windows could never come back: ask the shell again
  // (it may have started since).
  if (trayAdded_ && !p_.desktop.ModifyTrayIcon(tray_)) {
    try {
      p_.desktop.AddTrayIcon(tray_);
    } catch (...) {
    }
  }
  Hide();
  set_.HideMainWindows();
}

void 主体::ShowMainWindows() { set_.ShowMainWindows(); }

void 主体::CloseMain() { set_.CloseMain(); }

void 主体::SetStatus(const std::string& trayTip) {
  tray_.tip = trayTip;
  if (!trayAdded_) return;
  try {
    p_.desktop.ModifyTrayIcon(tray_);
  } catch (...) {
  }
}

void 主体::ShowMessage(const std::string& text) { ui::ShowError(p_.desktop, hwnd_, text); }

// --- events -----------------------------------------------------------------------------------

void 主体::Guarded(const std::function<void()>& handler) {
  ui::RunGuarded(p_.desktop, hwnd_, handler);
}

int 主体::Index(const std::array<ui::SkinnedControl, 5>& a, Hwnd h) const {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (h && a[i].hwnd() == h) return static_cast<int>(i);
  return -1;
}

int 主体::Index(const std::array<ui::SkinnedControl, 8>& a, Hwnd h) const {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (h && a[i].hwnd() == h) return static_cast<int>(i);
  return -1;
}

void 主体::OnMouseMove(Hwnd control, int buttons, int x, int y) {
  if (state_ != State::Open || !control) return;
  Guarded([&] {
    if (int i = Index(按钮_, control); i >= 0) {
      按钮_[static_cast<std::size_t>(i)].HoverPx(x, y);
    } else if (int e = Index(复选框_, control); e >= 0) {
      复选框_[static_cast<std::size_t>(e)].HoverPx(x, y, ui::CheckBoxMayHover(e, settings_));
    } else if (control == selector_.box().hwnd()) {
      selector_.BoxMove(x, y);
    } else if (control == 版本_) {
      const platform::PointPx at = BoxPointOfVersion(x, y);
      selector_.BoxMove(at.x, at.y);
    } else if (control == selector_.browse().hwnd()) {
      selector_.BrowseMove(x, y);
    } else if (control == 平台路径_) {
      p_.desktop.SetTooltip(平台路径_, settings_.路径.Text());
    } else if (control == 移动_.hwnd()) {
      移动_.OnMouseMove(buttons, ui::PixelsToTwips(x), ui::PixelsToTwips(y), [this](int dx, int dy) {
        // Both windows by the same amount, so `主体` keeps its place on `main`.
        platform::RectPx r = p_.desktop.GetRect(hwnd_);
        r.left += ui::TwipsToPixels(dx);
        r.top += ui::TwipsToPixels(dy);
        p_.desktop.Move(hwnd_, r);
        set_.MoveMainBy(ui::TwipsToPixels(dx), ui::TwipsToPixels(dy));
      });
    } else {
      for (int i = 0; i < 3; ++i)
        if (control == selector_.entry(i).hwnd()) selector_.EntryMove(i, x, y);
    }
    // A move over the window's own surface is only a move: tray notifications come as
    // their own event, so no pointer position can be taken for a tray click.
  });
}

void 主体::OnMouseDown(Hwnd control, int button, int /*x*/, int /*y*/) {
  if (state_ != State::Open || !control) return;
  Guarded([&] {
    if (int i = Index(按钮_, control); i >= 0) {
      press_->OnPress(static_cast<std::int16_t>(i), static_cast<std::int16_t>(button));
    } else if (int e = Index(复选框_, control); e >= 0) {
      if (button != platform::kLeftButton) return;
      ui::PressCheckBox(e, settings_, [this](int k, const std::string& bitmap) {
        SetCheckBoxPicture(k, bitmap);
      });
    } else if (control == selector_.box().hwnd() || control == 版本_) {
      selector_.BoxDown(button);
    } else if (control == selector_.browse().hwnd()) {
      selector_.BrowseDown(button, hwnd_);
    } else if (control == 移动_.hwnd()) {
      移动_.OnMouseDown(button);
    } else {
      for (int i = 0; i < 3; ++i)
        if (control == selector_.entry(i).hwnd()) selector_.EntryDown(i, button);
    }
  });
}

platform::PointPx 主体::BoxPointOfVersion(int xPx, int yPx) const {
  // The version picture lies on the box and has no behaviour of its own: the pointer over
  // it is over the box.
  const auto& box = ui::layout::k下拉框.rect;
  const auto& label = ui::layout::k版本.rect;
  return {xPx + ui::TwipsToPixels(label.left - box.left), yPx + ui::TwipsToPixels(label.top - box.top)};
}

void 主体::OnMouseUp(Hwnd control, int button, int x, int y) {
  if (state_ != State::Open || !control || button != platform::kLeftButton) return;
  Guarded([&] {
    if (int i = Index(按钮_, control); i >= 0) {
      按钮_[static_cast<std::size_t>(i)].ButtonUpPx(x, y);
    } else if (int e = Index(复选框_, control); e >= 0) {
      复选框_[static_cast<std::size_t>(e)].ButtonUpPx(x, y, ui::CheckBoxMayHover(e, settings_));
    } else if (control == 版本_) {
      const platform::PointPx at = BoxPointOfVersion(x, y);
      selector_.ButtonUp(selector_.box().hwnd(), at.x, at.y);
    } else {
      selector_.ButtonUp(control, x, y);
    }
  });
}

void 主体::OnClick(Hwnd control) {
  if (state_ != State::Open || !control) return;
  Guarded([&] {
    if (int i = Index(按钮_, control); i >= 0) {
      按钮_[static_cast<std::size_t>(i)].Clicked();
    } else if (int e = Index(复选框_, control); e >= 0) {
      复选框_[static_cast<std::size_t>(e)].Clicked();
    } else if (control == selector_.box().hwnd() || control == 版本_) {
      selector_.BoxClick();
    } else if (control == selector_.browse().hwnd()) {
      selector_.BrowseClick();
    } else if (control == 移动_.hwnd()) {
      移动_.OnClick();
    }
    // The version entries have no click rule.
  });
}

std::optional<主体::RuleRef> 主体::RuleOf(Hwnd edit) const {
  if (!edit) return std::nullopt;
  for (int i = 0; i < 5; ++i) {
    if (血量_[static_cast<std::size_t>(i)] == edit) return RuleRef{RuleField::血量, i};
    if (时间_[static_cast<std::size_t>(i)] == edit) return RuleRef{RuleField::时间, i};
  }
  for (int i = 0; i < 8; ++i)
    if (场次_[static_cast<std::size_t>(i)] == edit) return RuleRef{RuleField::场次, i};
  if (人数_ == edit) return RuleRef{RuleField::人数, 0};
  return std::nullopt;
}

Field& 主体::RuleFieldOf(const RuleRef& ref) {
  const auto k = static_cast<std::size_t>(ref.element);
  switch (ref.field) {
    case RuleField::血量: return settings_.血量[k];
    case RuleField::时间: return settings_.时间[k];
    case RuleField::场次: return settings_.场次[k];
    case RuleField::人数: return settings_.人数;
  }
  return settings_.人数;
}

void 主体::OnTextChanged(Hwnd edit) {
  // Changes made while the window is being laid out are the fields' own texts.
  if (state_ == State::Closed || state_ == State::Closing) return;
  auto ref = RuleOf(edit);
  if (!ref) return;
  Guarded([&] { RuleFieldOf(*ref).Set(p_.desktop.GetText(edit)); });
}

void 主体::OnFocus(Hwnd edit) {
  if (state_ != State::Open) return;
  auto ref = RuleOf(edit);
  if (!ref) return;
  Guarded([&] { OnRuleFieldFocus(*this, ref->field, ref->element); });
}

void 主体::OnTab(Hwnd edit, bool backwards) {
  if (state_ != State::Open || !p_.desktop.IsVisible(血时_)) return;
  auto ref = RuleOf(edit);
  if (!ref) return;
  Guarded([&] {
    const int n = static_cast<int>(kRuleOrder.size());
    int at = 0;
    for (int i = 0; i < n; ++i)
      if (kRuleOrder[static_cast<std::size_t>(i)].field == ref->field &&
          kRuleOrder[static_cast<std::size_t>(i)].element == ref->element)
        at = i;
    const RuleSlot& next = kRuleOrder[static_cast<std::size_t>((at + (backwards ? n - 1 : 1)) % n)];
    FocusRule({next.field, next.element});
  });
}

void 主体::OnTrayNotify(int code) {
  if (state_ != State::Open) return;
  Guarded([&] {
    if (code == kTrayLeftDown)
      set_.ShowMainWindows();
    else if (code == kTrayRightUp)
      set_.OpenMenuAtPointer();
  });
}

void 主体::OnCloseRequest(Hwnd /*window*/) {
  // `主体` never closes while `main` stays open: the request closes `main`.
  Guarded([&] { set_.CloseMain(); });
}

}  // namespace tovren::core
