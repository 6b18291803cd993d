// The whole window set on the simulated platform, driven like a player would: start-up and
// shut-down orders, the working files, the tray, dragging, the menu, the drop-down, the
// browse button, the check boxes and the rule fields.
#include <gtest/gtest.h>

#include <functional>

#include "core/field_rules.h"
#include "launcher_fixture.h"
#include "platform/api/codepage.h"
#include "ui/skin.h"

namespace tovren::uitest {
namespace {

namespace fs = std::filesystem;
using platform::kLeftButton;
using platform::kRightButton;
using platform::RectPx;

constexpr RectPx kMainRect{240, 212, 800, 600};  // centred on the 1280 x 1024 screen
constexpr RectPx kBodyRect{468, 457, 517, 290};  // 228, 245 pixels in from main's corner

std::string SettingsText(Launcher& l) {
  Bytes b = ReadHostFile(l.HostPath("zarnu\\zarnu.res"));
  return platform::GbkToUtf8(std::string(b.begin(), b.end()));
}

class WindowSetTest : public ::testing::Test {
 protected:
  sim::TempDir dir;
};

TEST_F(WindowSetTest, StartsInOrderAndMakesTheWorkingFilesBeforeTheControlsShow) {
  Launcher l(dir.path());
  bool checkedAtShow = false;
  l.observed.onShow = [&](Hwnd w, bool visible) {
    if (!visible || w != l.Body()) return;
    checkedAtShow = true;
    EXPECT_TRUE(fs::is_directory(l.HostPath("zarnu")));
    EXPECT_EQ(ReadHostFile(l.HostPath("zarnu\\Zarnu_IP.exe")), IpToolBytes());
    EXPECT_FALSE(fs::exists(l.HostPath("zarnu\\zarnu.res")));  // no settings file before a close
    // `主体` shows only once `main` has faded in completely.
    EXPECT_EQ(l.desktop().Get(l.Main()).presents.size(), 51u);
    // Everything of the start handler has run: controls laid out, tray icon added.
    EXPECT_TRUE(l.desktop().tray.has_value());
  };
  l.Start();
  ASSERT_TRUE(checkedAtShow);

  auto& d = l.desktop();
  EXPECT_EQ(Only(d.log, {"create", "surface", "layered", "colorkey", "topmost", "show", "move",
                         "open"}),
            (std::vector<std::string>{
                "create main", "surface main", "layered main", "topmost main", "show main",
                "create 主体", "layered 主体", "colorkey 主体 FF00FF", "topmost 主体", "show 主体",
                "move 主体 468,457,517x290", "open 动态"}));
  EXPECT_EQ(d.GetRect(l.Main()), kMainRect);
  EXPECT_EQ(d.GetRect(l.Body()), kBodyRect);
  EXPECT_EQ(d.Get(l.Body()).owner, l.Main());
  EXPECT_EQ(d.Get(l.Body()).picture, "BACK_MAIN");
  EXPECT_EQ(d.trayCalls, (std::vector<std::string>{"add Quellor.net"}));
  EXPECT_EQ(d.tray->window, l.Body());
  EXPECT_EQ(d.tray->id, 1);
  EXPECT_FALSE(d.IsWindow(d.FindOurTopLevel("menu")));
  EXPECT_FALSE(l.sim.loop.quit);
  EXPECT_TRUE(l.online.settings == &l.body().settings());
}

TEST_F(WindowSetTest, LaysOutTheSkinAsDesigned) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  using core::Panel;
  EXPECT_TRUE(d.IsShownOnScreen(b.Panel(Panel::开始)));
  EXPECT_FALSE(d.IsShownOnScreen(b.Panel(Panel::网络)));
  EXPECT_FALSE(d.IsShownOnScreen(b.Panel(Panel::血时)));
  EXPECT_FALSE(d.IsShownOnScreen(b.下拉项()));
  EXPECT_EQ(d.Get(b.Panel(Panel::血时)).picture, "PANEL_RULES");

  const char* buttons[] = {"ojb1601", "ojb1701", "ojb1801", "ojb1901", "ojb2001"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(d.Get(b.按钮(i)).picture, buttons[i]);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(d.Get(b.复选框(i)).picture, ui::LoadSkinBitmap(i + 1, 1));
  EXPECT_EQ(d.Get(b.版本()).picture, "ojb0901");
  EXPECT_EQ(d.Get(b.版本号(2)).picture, "ojb1201");

  // Rectangles in pixels at 15 twips per pixel, some of them inside containers.
  EXPECT_EQ(d.GetRect(b.按钮(2)), (RectPx{428, 244, 91, 50}));
  EXPECT_EQ(d.GetRect(b.复选框(3)), (RectPx{77, 137, 189, 29}));
  EXPECT_EQ(d.GetRect(b.复选框(6)), (RectPx{47, 73, 210, 29}));
  EXPECT_EQ(d.GetRect(b.版本号(2)), (RectPx{4, 41, 140, 19}));
  EXPECT_EQ(d.ScreenRect(b.版本号(1)), (RectPx{468 + 79 + 4, 457 + 36 + 38 + 21, 140, 19}));
  EXPECT_EQ(d.GetRect(b.平台路径()), (RectPx{99, 148, 163, 17}));
  EXPECT_EQ(d.GetRect(b.RuleEdit(core::RuleField::场次, 7)), (RectPx{127, 98, 41, 16}));

  auto& label = d.Get(b.平台路径());
  EXPECT_EQ(label.title, "请选择游戏平台");
  EXPECT_EQ(label.textColor, 0xC0C0C0u);

  struct Edit {
    core::RuleField field;
    int element;
    const char* text;
    int limit;
  };
  for (const Edit& e : {Edit{core::RuleField::血量, 0, "50", 2}, Edit{core::RuleField::血量, 4, "300", 3},
                        Edit{core::RuleField::时间, 3, "10", 2}, Edit{core::RuleField::场次, 7, "OO", 2},
                        Edit{core::RuleField::人数, 0, "16", 2}}) {
    auto& w = d.Get(b.RuleEdit(e.field, e.element));
    EXPECT_EQ(w.kind, platform::ControlKind::Edit);
    EXPECT_EQ(w.title, e.text);
    EXPECT_EQ(w.textLimit, e.limit);
    EXPECT_EQ(w.textColor, 0x404040u);
    ASSERT_TRUE(w.font.has_value());
    EXPECT_EQ(w.font->face, "宋体");
    EXPECT_EQ(w.font->points, 10.5);
    EXPECT_TRUE(w.font->bold);
    EXPECT_EQ(w.font->charset, 134);
  }
}

TEST_F(WindowSetTest, ASecondStartLeavesTheIpToolAsItIs) {
  {
    Launcher first(dir.path());
    first.Start();
    first.set->CloseMain();
    EXPECT_TRUE(first.sim.loop.quit);
  }
  { std::ofstream(dir.path() / "zarnu" / "Zarnu_IP.exe", std::ios::binary | std::ios::trunc) << "mine"; }
  Launcher second(dir.path());
  second.Start();
  EXPECT_EQ(ReadHostFile(second.HostPath("zarnu\\Zarnu_IP.exe")), (Bytes{'m', 'i', 'n', 'e'}));
  for (const auto& entry : second.sim.files.log())
    EXPECT_EQ(entry.find("Zarnu_IP"), std::string::npos) << entry;
  EXPECT_TRUE(second.Body());
}

struct NoWorkingFilesCase {
  const char* name;
  std::function<void(Launcher&, const fs::path&)> arrange;
  const char* messagePart;
  bool withIpTool = true;
};

void PrintTo(const NoWorkingFilesCase& c, std::ostream* os) { *os << c.name; }

class NoWorkingFiles : public ::testing::TestWithParam<NoWorkingFilesCase> {};

TEST_P(NoWorkingFiles, StartUpStopsWithAMessageAndTheLauncherEnds) {
  sim::TempDir dir;
  Launcher l(dir.path(), GetParam().withIpTool);
  GetParam().arrange(l, dir.path());
  l.Start();
  auto& d = l.desktop();
  ASSERT_EQ(d.messages.size(), 1u);
  EXPECT_EQ(d.messages[0].title, core::kMessageTitle);
  EXPECT_NE(d.messages[0].text.find(GetParam().messagePart), std::string::npos) << d.messages[0].text;
  EXPECT_FALSE(d.FindOurTopLevel("主体"));
  EXPECT_FALSE(d.FindOurTopLevel("main"));
  EXPECT_TRUE(d.trayCalls.empty());
  EXPECT_FALSE(l.online.monitorOpen);
  EXPECT_TRUE(l.sim.loop.quit);
  EXPECT_FALSE(fs::exists(dir.path() / "zarnu" / "zarnu.res"));
  EXPECT_FALSE(fs::exists(dir.path() / "zarnu" / "Zarnu_IP.exe.tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoWorkingFiles,
    ::testing::Values(
        NoWorkingFilesCase{"FolderRefused",
                           [](Launcher& l, const fs::path&) { l.sim.files.FailWrites("C:\\Game\\zarnu"); },
                           "无法创建工作文件夹 zarnu"},
        NoWorkingFilesCase{"AFileNamedZarnu",
                           [](Launcher&, const fs::path& p) { std::ofstream(p / "zarnu") << "x"; },
                           "名为 zarnu 的文件"},
        NoWorkingFilesCase{"ToolRefused",
                           [](Launcher& l, const fs::path& p) {
                             fs::create_directory(p / "zarnu");
                             l.sim.files.FailWrites("C:\\Game\\zarnu\\Zarnu_IP.exe");
                           },
                           "无法写入 zarnu\\Zarnu_IP.exe"},
        NoWorkingFilesCase{"ToolMissingFromTheLauncher", [](Launcher&, const fs::path&) {},
                           "缺少 IP 直连工具", /*withIpTool=*/false}),
    [](const ::testing::TestParamInfo<NoWorkingFilesCase>& info) { return std::string(info.param.name); });

TEST_F(WindowSetTest, NoGraphicsForTheBackdropEndsTheLauncherWithAMessage) {
  Launcher l(dir.path());
  l.sim.desktop.failLayeredSurface = true;
  l.Start();
  auto& d = l.desktop();
  ASSERT_EQ(d.messages.size(), 1u);
  EXPECT_EQ(d.messages[0].text, core::WindowSet::kNoGraphics);
  EXPECT_FALSE(d.FindOurTopLevel("主体"));
  EXPECT_FALSE(l.online.monitorOpen);
  EXPECT_TRUE(l.sim.loop.quit);
}

// Opens the menu and the about window and the submitter, so that a close has everything
// to close.
void OpenEverything(Launcher& l) {
  l.set->ShowAbout();
  l.desktop().cursor = {600, 700};
  l.desktop().TrayNotify(517);
  l.online.submitterOpen = true;
  ASSERT_TRUE(l.desktop().FindOurTopLevel("菜单"));
  ASSERT_TRUE(l.desktop().FindOurTopLevel("关于"));
}

const std::vector<std::string> kCloseTail = {
    "close 动态", "close 提交", "release surface 关于", "destroy 关于",
    "destroy 主体", "release surface main", "destroy main"};

void ExpectSavedAndEnded(Launcher& l, bool savedBeforeTrayRemoved) {
  EXPECT_TRUE(savedBeforeTrayRemoved);
  EXPECT_EQ(l.desktop().trayCalls.back(), "remove");
  EXPECT_FALSE(l.desktop().tray.has_value());
  const std::string text = SettingsText(l);
  std::size_t at = 0;
  for (const char* section : {"[版本]", "[配置]", "[网络]", "[设置]", "[关于]"}) {
    at = text.find(section, at);
    EXPECT_NE(at, std::string::npos) << section;
  }
  EXPECT_TRUE(l.sim.loop.quit);
  EXPECT_FALSE(l.set->AnyOpen());
  // main fades out last.
  const auto& frames = l.desktop().log;
  EXPECT_EQ(frames.back(), "destroy main");
}

// Opens every window, presses what press picks, and checks the close order and the save.
void ExpectPressClosesInOrder(const fs::path& root,
                              const std::function<platform::Hwnd(Launcher&)>& press) {
  Launcher l(root);
  bool saved = false;
  l.observed.onRemoveTray = [&] { saved = fs::exists(l.HostPath("zarnu\\zarnu.res")); };
  l.Start();
  OpenEverything(l);
  const std::size_t mark = l.desktop().log.size();
  l.desktop().Press(press(l));
  std::vector<std::string> after(l.desktop().log.begin() + static_cast<std::ptrdiff_t>(mark),
                                 l.desktop().log.end());
  std::vector<std::string> expected = {"destroy 菜单", "release surface menu", "destroy menu"};
  expected.insert(expected.end(), kCloseTail.begin(), kCloseTail.end());
  EXPECT_EQ(Only(after, {"destroy", "release", "close"}), expected);
  ExpectSavedAndEnded(l, saved);
}

TEST_F(WindowSetTest, TheCloseButtonSavesRemovesTheIconAndClosesInOrder) {
  ExpectPressClosesInOrder(dir.path(), [](Launcher& l) { return l.body().按钮(4); });
}

TEST_F(WindowSetTest, TheMenusExitItemSavesRemovesTheIconAndClosesInOrder) {
  ExpectPressClosesInOrder(dir.path(),
                           [](Launcher& l) { return l.set->menuItems().item(0).hwnd(); });
}

TEST_F(WindowSetTest, ASystemCloseOfTheSettingsWindowClosesTheLauncherTheSameWay) {
  Launcher l(dir.path());
  l.Start();
  l.desktop().RequestClose(l.Body());
  EXPECT_TRUE(fs::exists(l.HostPath("zarnu\\zarnu.res")));
  EXPECT_TRUE(l.sim.loop.quit);
  EXPECT_FALSE(l.desktop().FindOurTopLevel("main"));
}

TEST_F(WindowSetTest, TrayLeftClickRestoresRightClickOpensTheMenuOtherCodesDoNothing) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  b.HideMainWindows();
  // The windows were dragged meanwhile: the restore puts `主体` back on `main`.
  d.Move(l.Main(), {100, 50, 800, 600});
  ASSERT_FALSE(d.IsVisible(l.Main()));

  d.TrayNotify(512);
  d.TrayNotify(514);
  EXPECT_FALSE(d.IsVisible(l.Main()));
  EXPECT_FALSE(d.IsVisible(l.Body()));

  // A real pointer move over the surface of `主体` at x = 513 is no tray click.
  d.MouseMove(l.Body(), 0, 513, 10);
  EXPECT_FALSE(d.IsVisible(l.Main()));
  EXPECT_FALSE(d.IsVisible(l.Body()));

  d.MouseMove(b.按钮(2), 0, 5, 5);  // a hover mark left standing
  ASSERT_TRUE(b.ButtonControl(2).Hovered());
  d.TrayNotify(513);
  EXPECT_TRUE(d.IsVisible(l.Main()));
  EXPECT_TRUE(d.IsVisible(l.Body()));
  EXPECT_EQ(d.GetRect(l.Body()), (RectPx{328, 295, 517, 290}));
  EXPECT_EQ(d.Get(l.Body()).owner, l.Main());
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(b.ButtonControl(i).Hovered());

  d.cursor = {1200, 200};  // fewer than 150 pixels to the right edge: opens to the left
  d.TrayNotify(517);
  Hwnd menu = d.FindOurTopLevel("menu"), items = d.FindOurTopLevel("菜单");
  ASSERT_TRUE(menu && items);
  EXPECT_EQ(d.Get(menu).presents.size(), 51u);
  EXPECT_EQ(d.GetRect(menu), (RectPx{1050, -100, 150, 300}));
  EXPECT_EQ(d.GetRect(items), (RectPx{1050, -100, 150, 300}));
  EXPECT_EQ(d.Get(items).owner, menu);
  EXPECT_EQ(d.Get(items).colorKey, 0xFF00FFu);
  EXPECT_TRUE(d.Get(items).topmost);
  EXPECT_EQ(d.Get(items).picture, "BACK_MENU");
  // It faded in at its first place and moved only then.
  auto log = LogFrom(d.log, "create menu");
  EXPECT_EQ(Only(log, {"create", "move"}),
            (std::vector<std::string>{"create menu", "create 菜单", "move menu 1050,-100,150x300",
                                      "move 菜单 1050,-100,150x300"}));
}

TEST_F(WindowSetTest, HidingAsksForTheTrayIconAgainWhenTheShellLostIt) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  d.tray.reset();  // the shell restarted without our icon
  d.Press(l.body().按钮(3));
  EXPECT_FALSE(d.IsVisible(l.Body()));
  ASSERT_TRUE(d.tray.has_value());  // so the hidden windows can still come back
  EXPECT_EQ(d.tray->window, l.Body());
  d.TrayNotify(513);
  EXPECT_TRUE(d.IsVisible(l.Body()));
  EXPECT_EQ(d.Get(l.body().按钮(3)).picture, "ojb1901");
}

TEST_F(WindowSetTest, MenuItemsShowTheWindowsOrTheAboutPictureAndAlwaysCloseTheMenu) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& menu = l.set->menuItems();
  l.body().HideMainWindows();

  d.TrayNotify(517);
  d.MouseMove(menu.item(1).hwnd(), 0, 5, 5);
  EXPECT_EQ(d.Get(menu.item(1).hwnd()).picture, "ojb2202");
  d.MouseMove(menu.item(1).hwnd(), 0, 58, 54);  // the edge is still inside
  EXPECT_EQ(d.Get(menu.item(1).hwnd()).picture, "ojb2202");
  d.Press(menu.item(1).hwnd(), kRightButton);
  EXPECT_TRUE(menu.IsOpen());
  d.Press(menu.item(1).hwnd());
  EXPECT_TRUE(d.IsVisible(l.Main()));
  EXPECT_TRUE(d.IsVisible(l.Body()));
  EXPECT_FALSE(menu.IsOpen());
  EXPECT_FALSE(l.set->menu().IsOpen());

  d.TrayNotify(517);
  d.Press(menu.item(2).hwnd());
  EXPECT_TRUE(l.set->about().IsOpen());
  EXPECT_FALSE(menu.IsOpen());
  EXPECT_FALSE(l.set->menu().IsOpen());
  EXPECT_EQ(d.GetRect(l.set->about().hwnd()), (RectPx{470, 337, 340, 350}));
  d.DoubleClick(l.set->about().hwnd());
  EXPECT_FALSE(l.set->about().IsOpen());
  EXPECT_FALSE(l.sim.loop.quit);
}

TEST_F(WindowSetTest, AMenuDismissedWhileFadingInNeverShowsItsItems) {
  Launcher l(dir.path());
  l.Start();
  int pumps = 0;
  l.sim.loop.onPump = [&] {
    if (++pumps == 20) l.online.closeMenu();  // the worker: another window came to the front
  };
  l.desktop().TrayNotify(517);
  EXPECT_FALSE(l.set->menu().IsOpen());
  EXPECT_FALSE(l.desktop().FindOurTopLevel("菜单"));
  EXPECT_EQ(pumps, 102);
}

TEST_F(WindowSetTest, DraggingMovesBothWindowsByTheSameAmountWithTheLeftButtonOnly) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  Hwnd handle = l.body().移动();
  d.MouseMove(handle, 0, 10, 10);             // the origin
  d.MouseMove(handle, kRightButton, 60, 60);  // right button: nothing
  d.MouseMove(handle, kLeftButton | kRightButton, 60, 60);
  EXPECT_EQ(d.GetRect(l.Main()), kMainRect);
  d.MouseDown(handle, kLeftButton, 10, 10);
  d.MouseMove(handle, kLeftButton, 50, 20);  // 40 right, 10 down
  EXPECT_EQ(d.GetRect(l.Main()), (RectPx{280, 222, 800, 600}));
  EXPECT_EQ(d.GetRect(l.Body()), (RectPx{508, 467, 517, 290}));
  // The handle moved with the window: the pointer is at the origin again.
  d.MouseMove(handle, kLeftButton, 10, 10);
  EXPECT_EQ(d.GetRect(l.Main()), (RectPx{280, 222, 800, 600}));
  d.LeftUp(handle);
  EXPECT_EQ(d.capture, 0u);
}

TEST_F(WindowSetTest, TheDropDownOpensClosesAndChoosesTheVersion) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  d.Press(b.下拉框(), kRightButton);
  EXPECT_FALSE(d.IsShownOnScreen(b.下拉项()));
  d.Press(b.下拉框());
  EXPECT_TRUE(d.IsShownOnScreen(b.下拉项()));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(d.IsShownOnScreen(b.复选框(i)));
  EXPECT_TRUE(d.IsShownOnScreen(b.复选框(3)));
  d.Press(b.下拉框());
  EXPECT_FALSE(d.IsShownOnScreen(b.下拉项()));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(d.IsShownOnScreen(b.复选框(i)));

  d.Press(b.版本());  // the picture on the box is part of the box
  ASSERT_TRUE(d.IsShownOnScreen(b.下拉项()));
  d.MouseMove(b.版本号(2), 0, 5, 5);
  EXPECT_EQ(d.Get(b.版本号(2)).picture, "ojb1202");
  d.Press(b.版本号(2), kRightButton);
  EXPECT_TRUE(d.IsShownOnScreen(b.下拉项()));
  d.Press(b.版本号(2));
  EXPECT_EQ(b.settings().版本编号.Text(), "3");
  EXPECT_EQ(d.Get(b.版本()).picture, "ojb0903");
  EXPECT_FALSE(d.IsShownOnScreen(b.下拉项()));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(d.Get(b.版本号(i)).picture, ui::LoadSkinBitmap(10 + i, 1));

  l.set->CloseMain();
  EXPECT_NE(SettingsText(l).find("编号=3"), std::string::npos) << SettingsText(l);
}

TEST_F(WindowSetTest, CheckBoxesThroughTheWindow) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  auto& s = b.settings().复选框辅助;

  d.MouseMove(b.复选框(2), 0, 5, 5);
  EXPECT_EQ(d.Get(b.复选框(2)).picture, "ojb0302");
  d.Press(b.复选框(2));
  EXPECT_EQ(s[2].Text(), "1");
  EXPECT_EQ(d.Get(b.复选框(2)).picture, "ojb0303");
  d.MouseMove(b.复选框(2), 0, 6, 6);  // a switched-on box keeps its on picture
  EXPECT_EQ(d.Get(b.复选框(2)).picture, "ojb0303");
  EXPECT_EQ(d.capture, 0u);
  d.Press(b.复选框(2));
  EXPECT_EQ(s[2].Text(), "0");
  EXPECT_EQ(d.Get(b.复选框(2)).picture, "ojb0301");
  d.MouseMove(b.复选框(2), 0, 6, 6);
  EXPECT_EQ(d.Get(b.复选框(2)).picture, "ojb0302");
  d.MouseMove(b.复选框(2), 0, 300, 6);

  // 5 on, 6 on, then 8: 5, 6 and 7 back to normal, and the path label looks enabled.
  d.Press(b.复选框(4));
  d.Press(b.复选框(5));
  EXPECT_EQ(d.Get(b.复选框(5)).picture, "ojb0603");
  EXPECT_EQ(d.Get(b.平台路径()).textColor, 0xC0C0C0u);
  d.Press(b.复选框(7));
  EXPECT_EQ((std::vector<std::string>{s[4].Text(), s[5].Text(), s[6].Text(), s[7].Text()}),
            (std::vector<std::string>{"0", "0", "0", "1"}));
  EXPECT_EQ(d.Get(b.复选框(4)).picture, "ojb0501");
  EXPECT_EQ(d.Get(b.复选框(5)).picture, "ojb0601");
  EXPECT_EQ(d.Get(b.复选框(7)).picture, "ojb0803");
  EXPECT_EQ(d.Get(b.平台路径()).textColor, 0x404040u);
  // Switch 5 is off: switch 6 neither hovers nor answers.
  d.MouseMove(b.复选框(5), 0, 5, 5);
  d.Press(b.复选框(5));
  EXPECT_EQ(d.Get(b.复选框(5)).picture, "ojb0601");
  EXPECT_EQ(s[5].Text(), "0");
}

TEST_F(WindowSetTest, BrowseWorksOnlyWithSwitch8AndCancelKeepsThePath) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  d.MouseMove(b.浏览(), 0, 5, 5);
  d.Press(b.浏览());
  EXPECT_TRUE(d.fileDialogs.empty());
  EXPECT_EQ(d.Get(b.浏览()).picture, "ojb1301");

  d.Press(b.复选框(7));
  d.MouseMove(b.浏览(), 0, 5, 5);
  EXPECT_EQ(d.Get(b.浏览()).picture, "ojb1302");
  d.fileDialogAnswers.push_back("D:\\Tools\\GamePlatform\\start.exe");
  d.Press(b.浏览());
  ASSERT_EQ(d.fileDialogs.size(), 1u);
  EXPECT_EQ(d.fileDialogs[0].owner, l.Body());
  EXPECT_EQ(d.fileDialogs[0].title, "选择游戏平台");
  EXPECT_EQ(d.fileDialogs[0].flags, 0x1804u);
  EXPECT_EQ(d.fileDialogs[0].initialFolder, "");
  EXPECT_EQ(b.settings().路径.Text(), "D:\\Tools\\GamePlatform\\start.exe");
  EXPECT_EQ(d.GetText(b.平台路径()), "D:\\...m\\start.exe");
  EXPECT_EQ(d.Get(b.浏览()).picture, "ojb1301");

  d.Press(b.浏览());  // cancelled
  ASSERT_EQ(d.fileDialogs.size(), 2u);
  EXPECT_EQ(d.fileDialogs[1].initialFolder, "D:\\Tools\\GamePlatform\\start.exe");
  EXPECT_EQ(b.settings().路径.Text(), "D:\\Tools\\GamePlatform\\start.exe");
  EXPECT_EQ(d.GetText(b.平台路径()), "D:\\...m\\start.exe");

  d.MouseMove(b.平台路径(), 0, 3, 3);
  EXPECT_EQ(d.Get(b.平台路径()).tooltip, "D:\\Tools\\GamePlatform\\start.exe");
}

TEST_F(WindowSetTest, RuleFieldsSelectAllOnFocusRefuseTypingPastTheLimitAndMirror) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  auto& s = b.settings();
  using core::RuleField;
  Hwnd hp0 = b.RuleEdit(RuleField::血量, 0), hp1 = b.RuleEdit(RuleField::血量, 1);
  d.Focus(hp0);
  EXPECT_EQ(d.Get(hp0).selection, (std::pair<int, int>{0, 2}));
  d.Type(hp0, "123");
  EXPECT_EQ(d.GetText(hp0), "12");
  EXPECT_EQ(s.血量[0].Text(), "12");
  d.Focus(hp1);
  d.Type(hp1, "1234");
  EXPECT_EQ(s.血量[1].Text(), "123");

  d.Focus(b.RuleEdit(RuleField::时间, 0));
  d.Type(b.RuleEdit(RuleField::时间, 0), "7");
  EXPECT_EQ(s.场次[0].Text(), "7");
  EXPECT_EQ(d.GetText(b.RuleEdit(RuleField::场次, 0)), "7");
  d.Focus(b.RuleEdit(RuleField::时间, 3));
  d.Type(b.RuleEdit(RuleField::时间, 3), "4");
  EXPECT_EQ(s.场次[3].Text(), "9");  // element 3 has no partner

  l.set->CloseMain();
  const std::string text = SettingsText(l);
  EXPECT_NE(text.find("血量1=12"), std::string::npos) << text;
  EXPECT_NE(text.find("场次1=7"), std::string::npos) << text;
}

TEST_F(WindowSetTest, AFailedStartPressIsToldOnceAndTheLauncherStaysUsable) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  // An empty folder: no game to install into, no packs to run.
  d.Press(l.body().按钮(2));
  ASSERT_EQ(d.messages.size(), 1u);
  EXPECT_EQ(d.messages[0].title, core::kMessageTitle);
  EXPECT_TRUE(d.IsVisible(l.Main()));
  EXPECT_TRUE(d.IsVisible(l.Body()));
  EXPECT_EQ(d.tray->tip, "Quellor.net");
  // Still answering.
  d.Press(l.body().按钮(0));
  EXPECT_TRUE(d.IsShownOnScreen(l.body().Panel(core::Panel::网络)));
}

TEST_F(WindowSetTest, LoadedSettingsRunTheirRulesAtStart) {
  fs::create_directory(dir.path() / "zarnu");
  {
    std::ofstream f(dir.path() / "zarnu" / "zarnu.res", std::ios::binary);
    f << platform::Utf8ToGbk("[版本]\r\n编号=2\r\n[配置]\r\n复选2=1\r\n[网络]\r\n复选8=1\r\n"
                             "路径=C:\\Play\\run.exe\r\n");
  }
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  EXPECT_EQ(d.Get(b.版本()).picture, "ojb0902");
  EXPECT_EQ(d.Get(b.复选框(1)).picture, "ojb0203");
  EXPECT_EQ(d.Get(b.复选框(7)).picture, "ojb0803");
  EXPECT_EQ(d.Get(b.平台路径()).textColor, 0x404040u);
  EXPECT_EQ(d.GetText(b.平台路径()), "C:\\...lay\\run.exe");
  // Missing entries leave the fields empty, and the edits show it.
  EXPECT_EQ(d.GetText(b.RuleEdit(core::RuleField::人数, 0)), "");
}

}  // namespace
}  // namespace tovren::uitest

namespace tovren::uitest {
namespace {

// The window set with the online services' own monitor and submitter.
TEST(WindowSetOnline, TheWorkerStartsAfterTheBackdropAndEndsTheIpToolWhenTheLauncherCloses) {
  sim::TempDir dir;
  sim::SimPlatform sim(dir.path());
  AddLauncherResources(sim.resources);
  core::OnlineWorkerWindows online(sim.Get());
  core::WindowSet set(sim.Get(), online);
  set.Start();
  auto& d = sim.desktop;
  ASSERT_TRUE(online.MonitorOpen());
  EXPECT_TRUE(d.FindOurTopLevel("动态"));
  EXPECT_FALSE(d.IsVisible(d.FindOurTopLevel("动态")));
  EXPECT_EQ(LogFrom(d.log, "create 动态").size(), 1u);  // the last window of the start

  // The menu closes when another window comes to the front, at the worker's next tick.
  d.cursor = {600, 700};
  d.TrayNotify(517);
  Hwnd items = d.FindOurTopLevel("菜单");
  ASSERT_TRUE(items);
  d.foreground = items;
  sim.timers.Advance(600);
  EXPECT_TRUE(set.menu().IsOpen());
  d.foreground = d.AddForeignWindow("Tovren");
  sim.timers.Advance(600);
  EXPECT_FALSE(set.menu().IsOpen());
  EXPECT_FALSE(d.FindOurTopLevel("菜单"));

  sim.processes.running = {{7, "ZARNU_IP.EXE"}, {8, "other.exe"}};
  set.CloseMain();
  EXPECT_EQ(sim.processes.terminated, (std::vector<std::uint32_t>{7}));
  ASSERT_FALSE(d.clipCalls.empty());
  EXPECT_EQ(d.clipCalls.back(), std::nullopt);
  EXPECT_FALSE(online.MonitorOpen());
  EXPECT_FALSE(d.FindOurTopLevel("动态"));
  EXPECT_EQ(sim.timers.RunningCount(), 0u);
  EXPECT_TRUE(sim.loop.quit);
}

}  // namespace
}  // namespace tovren::uitest
