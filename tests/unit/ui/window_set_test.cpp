// The whole window set on the simulated platform, driven like a player would: start-up and
// shut-down orders, the working files, the tray, dragging, the menu, the drop-down, the
// browse button, the check boxes and the rule fields.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(WindowSetTest, TheMonitorTickingDuringTheMenusFadeInLeavesItToOpenAndBePlaced) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  // Whatever had the foreground before the menu (here the settings window) is still in
  // front while `menu` fades in; every tick then asks the menu to go.
  d.foreground = l.Body();
  int ticks = 0;
  l.sim.loop.onPump = [&] {
    ++ticks;
    l.online.closeMenu();
  };
  d.cursor = {600, 700};
  d.TrayNotify(517);
  l.sim.loop.onPump = nullptr;
  EXPECT_EQ(ticks, 51);
  Hwnd items = d.FindOurTopLevel("菜单");
  ASSERT_TRUE(items);
  EXPECT_TRUE(l.set->menu().IsOpen());
  EXPECT_EQ(d.GetRect(items), (RectPx{600, 400, 150, 300}));
  // Placed, the menu takes the foreground, as a popup menu does.
  EXPECT_EQ(Only(LogFrom(d.log, "move 菜单"), {"move", "front"}),
            (std::vector<std::string>{"move 菜单 600,400,150x300", "front 菜单 activate"}));
  EXPECT_EQ(d.foreground, items);

  // From now on another window in front dismisses it.
  l.online.closeMenu();
  EXPECT_FALSE(d.FindOurTopLevel("菜单"));
  EXPECT_FALSE(l.set->menu().IsOpen());
}

TEST_F(WindowSetTest, AMenuClosedWhileFadingInShowsNoItemsAndStillClearsTheHoverMarks) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  d.MouseMove(l.body().按钮(2), 0, 5, 5);
  ASSERT_TRUE(l.body().ButtonControl(2).Hovered());
  int pumps = 0;
  l.sim.loop.onPump = [&] {
    if (++pumps == 20) l.set->CloseMenu();  // e.g. Alt+F4 on it
  };
  d.TrayNotify(517);
  EXPECT_FALSE(l.set->menu().IsOpen());
  EXPECT_FALSE(d.FindOurTopLevel("菜单"));
  EXPECT_EQ(pumps, 102);
  EXPECT_FALSE(l.body().ButtonControl(2).Hovered());
}

TEST_F(WindowSetTest, TheAboutWindowOpensInFrontAndMainNeverCoversTheSettingsWindow) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  d.TrayNotify(517);
  d.Press(l.set->menuItems().item(2).hwnd());
  Hwnd about = l.set->about().hwnd();
  ASSERT_TRUE(about);
  // Asked for in front as soon as it shows, before its fade-in, again once it is fully
  // visible, and made the foreground.
  EXPECT_EQ(Only(LogFrom(d.log, "create 关于"), {"show 关于", "front"}),
            (std::vector<std::string>{"show 关于", "front 关于 activate", "front 关于 activate"}));
  EXPECT_EQ(d.foreground, about);

  // The about window closes; the system activates the backdrop, which it raises.
  d.DoubleClick(about);
  const std::size_t mark = d.log.size();
  d.Activate(l.Main());
  l.sim.loop.RunUntilIdle();  // once the system's activation of main is over
  EXPECT_EQ(Only({d.log.begin() + static_cast<std::ptrdiff_t>(mark), d.log.end()}, {"front"}),
            (std::vector<std::string>{"front 主体 activate"}));
  EXPECT_EQ(d.foreground, l.Body());
  // Hidden, the settings window is not brought forward.
  l.body().HideMainWindows();
  d.Activate(l.Main());
  l.sim.loop.RunUntilIdle();
  EXPECT_EQ(Only({d.log.begin() + static_cast<std::ptrdiff_t>(mark), d.log.end()}, {"front"}).size(), 1u);
}

TEST_F(WindowSetTest, AReleaseAnywhereFreesTheCaptureOfAControlThatNoLongerHovers) {
  // Press on one control, slide off the window with the button held, let go there, then
  // press another control: the second press must reach the second control.
  struct Road {
    const char* name;
    std::function<void(Launcher&)> arrange;
    std::function<Hwnd(Launcher&)> first;
    std::function<Hwnd(Launcher&)> second;
    std::function<void(Launcher&)> expect;
  };
  auto settings = [](Launcher& l) -> core::Settings& { return l.body().settings(); };
  const std::vector<Road> roads = {
      {"check box switched on by the press", [](Launcher&) {},
       [](Launcher& l) { return l.body().复选框(0); }, [](Launcher& l) { return l.body().复选框(3); },
       [&](Launcher& l) {
         EXPECT_EQ(settings(l).复选框辅助[0].Text(), "1");
         EXPECT_EQ(settings(l).复选框辅助[3].Text(), "1");
         EXPECT_EQ(l.desktop().Get(l.body().复选框(0)).picture, "ojb0103");
       }},
      {"action button", [](Launcher&) {}, [](Launcher& l) { return l.body().按钮(1); },
       [](Launcher& l) { return l.body().按钮(1); },
       [&](Launcher& l) {
         // Pressed twice: the rules panel opened, then closed again.
         EXPECT_EQ(settings(l).按钮辅助[1].Text(), "0");
         EXPECT_EQ(l.desktop().Get(l.body().按钮(1)).picture, "ojb1703");
       }},
      {"drop-down box", [](Launcher&) {}, [](Launcher& l) { return l.body().下拉框(); },
       [](Launcher& l) { return l.body().版本号(2); },
       [&](Launcher& l) {
         EXPECT_EQ(settings(l).版本编号.Text(), "3");
         EXPECT_EQ(settings(l).下拉项辅助.Text(), "0");
       }},
      {"version entry", [](Launcher& l) { l.desktop().Press(l.body().下拉框()); },
       [](Launcher& l) { return l.body().版本号(1); }, [](Launcher& l) { return l.body().复选框(3); },
       [&](Launcher& l) {
         EXPECT_EQ(settings(l).版本编号.Text(), "2");
         EXPECT_EQ(settings(l).复选框辅助[3].Text(), "1");
       }},
      {"browse", [](Launcher& l) {
         l.desktop().Press(l.body().按钮(0));   // the network panel
         l.desktop().Press(l.body().复选框(7));  // switch 8: browse works
       },
       [](Launcher& l) { return l.body().浏览(); }, [](Launcher& l) { return l.body().复选框(4); },
       [&](Launcher& l) {
         EXPECT_EQ(l.desktop().fileDialogs.size(), 1u);
         EXPECT_EQ(settings(l).复选框辅助[4].Text(), "1");
       }},
  };
  for (const auto& road : roads) {
    SCOPED_TRACE(road.name);
    sim::TempDir folder;
    Launcher l(folder.path());
    l.Start();
    auto& d = l.desktop();
    road.arrange(l);
    Hwnd first = road.first(l);
    d.MouseMove(first, 0, 5, 5);
    d.MouseDown(first, kLeftButton, 5, 5);
    d.MouseMove(first, kLeftButton, 700, -300);  // off the window, the button held
    d.MouseUp(first, kLeftButton, 700, -300);
    EXPECT_EQ(d.capture, 0u);
    Hwnd second = road.second(l);
    d.MouseMove(second, 0, 5, 5);
    d.Press(second);
    road.expect(l);
  }
}

TEST_F(WindowSetTest, AMenuItemReleasedBeyondItsEdgeWithoutAMoveLetsTheCaptureGo) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  d.TrayNotify(517);
  Hwnd exit = l.set->menuItems().item(0).hwnd();
  d.MouseMove(exit, 0, 5, 5);
  ASSERT_EQ(d.capture, exit);
  d.MouseUp(exit, kLeftButton, 90, 5);  // a press elsewhere ends beyond the item
  EXPECT_EQ(d.capture, 0u);
  EXPECT_EQ(d.Get(exit).picture, "ojb2101");
  EXPECT_TRUE(l.set->menuItems().IsOpen());
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

// The rule fields in reading order: HP 1-5, time 1-5, rounds 1-8, players.
std::vector<Hwnd> RuleEditsInOrder(core::主体& b) {
  using core::RuleField;
  std::vector<Hwnd> v;
  for (int i = 0; i < 5; ++i) v.push_back(b.RuleEdit(RuleField::血量, i));
  for (int i = 0; i < 5; ++i) v.push_back(b.RuleEdit(RuleField::时间, i));
  for (int i = 0; i < 8; ++i) v.push_back(b.RuleEdit(RuleField::场次, i));
  v.push_back(b.RuleEdit(RuleField::人数, 0));
  return v;
}

TEST_F(WindowSetTest, TabMovesThroughTheRuleFieldsInReadingOrderSelectingEachWholeText) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  d.Press(b.按钮(1));  // the rules panel
  const std::vector<Hwnd> order = RuleEditsInOrder(b);
  d.Focus(order[0]);
  for (std::size_t i = 1; i <= order.size(); ++i) {
    d.Tab();
    const Hwnd now = order[i % order.size()];  // from the players' field back to HP 1
    ASSERT_EQ(d.focus, now) << i;
    const int length = static_cast<int>(d.GetText(now).size());
    EXPECT_EQ(d.Get(now).selection, (std::pair<int, int>{0, length})) << i;
  }
  d.Tab(/*backwards=*/true);
  EXPECT_EQ(d.focus, order.back());
  d.Tab(true);
  EXPECT_EQ(d.focus, order[order.size() - 2]);
  // Typing replaces the whole value of the field Tab reached.
  d.Tab();
  d.TypeKeys("6");
  EXPECT_EQ(b.settings().人数.Text(), "6");
}

TEST_F(WindowSetTest, KeysNeverReachTheFieldsOfAHiddenPanel) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  d.Press(b.按钮(1));
  Hwnd hp1 = b.RuleEdit(core::RuleField::血量, 0);
  d.Press(hp1);
  ASSERT_EQ(d.focus, hp1);
  const std::string before = b.settings().血量[0].Text();
  d.Press(b.按钮(1));  // the panel closes; the field had the focus
  ASSERT_FALSE(d.IsShownOnScreen(hp1));
  d.TypeKeys("9");
  d.Tab();
  EXPECT_EQ(b.settings().血量[0].Text(), before);
  EXPECT_NE(d.focus, hp1);
}

TEST_F(WindowSetTest, APressThatFallsThroughARuleFieldToTheBackdropFocusesThatField) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  // Where the rules panel lies on the backdrop: 主体 at 228, 245 and 血时 at 80, 53 in it.
  const auto onMain = [&](Hwnd edit, int dx, int dy) {
    const RectPx r = d.ScreenRect(edit);
    const RectPx m = d.GetRect(l.Main());
    return std::pair<int, int>{r.left - m.left + dx, r.top - m.top + dy};
  };
  const std::vector<Hwnd> order = RuleEditsInOrder(b);
  // With the panel closed the backdrop takes presses for itself.
  auto [x0, y0] = onMain(order[0], 30, 8);
  d.MouseDown(l.Main(), kLeftButton, x0, y0);
  EXPECT_EQ(d.focus, 0u);

  d.Press(b.按钮(1));
  for (Hwnd edit : order) {
    // The field's far corner, beside its digits, and a point just outside it.
    auto [x, y] = onMain(edit, 40, 15);
    d.MouseDown(l.Main(), kLeftButton, x, y);
    d.MouseUp(l.Main(), kLeftButton, x, y);
    ASSERT_EQ(d.focus, edit);
    const int length = static_cast<int>(d.GetText(edit).size());
    EXPECT_EQ(d.Get(edit).selection, (std::pair<int, int>{0, length}));
    d.TypeKeys("3");
    EXPECT_EQ(d.GetText(edit), "3");
  }
  // A right press, and a press just beside a field, do nothing.
  d.Focus(order[1]);
  auto [xr, yr] = onMain(order[0], 5, 5);
  d.MouseDown(l.Main(), kRightButton, xr, yr);
  auto [xo, yo] = onMain(order[0], 41, 5);
  d.MouseDown(l.Main(), kLeftButton, xo, yo);
  EXPECT_EQ(d.focus, order[1]);
}

TEST_F(WindowSetTest, ACloseWhileTheSettingsWindowStartsLetsNothingBeMadeAfterIt) {
  fs::create_directory(dir.path() / "zarnu");
  std::ofstream(dir.path() / "zarnu" / "zarnu.res", std::ios::binary) << "[版本]\r\n";
  Launcher l(dir.path());
  l.sim.files.FailReads("zarnu\\zarnu.res");
  // The start tells that the settings could not be read; while the box is up the player
  // exits through the tray menu.
  l.desktop().whileMessage = [&](const sim::SimDesktop::Box&) {
    l.desktop().whileMessage = nullptr;
    l.desktop().TrayNotify(517);
    l.desktop().Press(l.set->menuItems().item(0).hwnd());
  };
  l.Start();
  // (The close then tells that it would not write over the unreadable file.)
  ASSERT_FALSE(l.desktop().messages.empty());
  EXPECT_NE(l.desktop().messages[0].text.find("zarnu.res"), std::string::npos);
  EXPECT_FALSE(l.online.monitorOpen);
  EXPECT_EQ(std::count(l.desktop().log.begin(), l.desktop().log.end(), "open 动态"), 0);
  EXPECT_FALSE(l.set->AnyOpen());
  EXPECT_TRUE(l.sim.loop.quit);
}

TEST_F(WindowSetTest, AFileDialogThatReturnsAfterAnExitWritesNowhere) {
  Launcher l(dir.path());
  l.Start();
  auto& d = l.desktop();
  auto& b = l.body();
  d.Press(b.按钮(0));
  d.Press(b.复选框(7));
  d.fileDialogAnswers.push_back("D:\\Tools\\Platform\\start.exe");
  d.whileFileDialog = [&] {
    d.TrayNotify(517);
    d.Press(l.set->menuItems().item(0).hwnd());
  };
  d.MouseMove(b.浏览(), 0, 5, 5);
  d.Press(b.浏览());
  EXPECT_FALSE(l.set->AnyOpen());
  EXPECT_TRUE(l.sim.loop.quit);
  EXPECT_TRUE(d.messages.empty());  // nothing was written to a window that is gone
}

// A handler failing between two frames of a fade (the platform rethrows it from the pump)
// still lets the window reach its state; the last window's close still ends the launcher.
TEST_F(WindowSetTest, AFailureBetweenFadeFramesLeavesEveryWindowInItsState) {
  struct Case {
    const char* name;
    std::function<void(Launcher&)> before;  // after start-up
    std::function<void(Launcher&)> act;     // the fade that fails
    std::function<void(Launcher&)> expect;
  };
  const auto none = [](Launcher&) {};
  const std::vector<Case> cases = {
      {"main fading in", none, nullptr,
       [](Launcher& l) {
         EXPECT_EQ(l.set->main().state(), ui::LayeredPngWindow::State::Open);
         EXPECT_TRUE(l.body().IsOpen());
         EXPECT_TRUE(l.online.monitorOpen);
       }},
      {"main fading out", none, [](Launcher& l) { l.set->CloseMain(); },
       [](Launcher& l) {
         EXPECT_FALSE(l.set->AnyOpen());
         EXPECT_TRUE(l.sim.loop.quit);
       }},
      {"menu fading in", none, [](Launcher& l) { l.desktop().TrayNotify(517); },
       [](Launcher& l) {
         EXPECT_EQ(l.set->menu().state(), ui::LayeredPngWindow::State::Open);
         EXPECT_TRUE(l.set->menuItems().IsOpen());
       }},
      {"menu fading out", [](Launcher& l) { l.desktop().TrayNotify(517); },
       [](Launcher& l) { l.set->CloseMenu(); },
       [](Launcher& l) {
         EXPECT_FALSE(l.set->menu().IsOpen());
         EXPECT_FALSE(l.desktop().FindOurTopLevel("menu"));
         EXPECT_TRUE(l.body().IsOpen());
       }},
      {"about fading in", none, [](Launcher& l) { l.set->ShowAbout(); },
       [](Launcher& l) {
         EXPECT_EQ(l.set->about().state(), ui::LayeredPngWindow::State::Open);
         EXPECT_EQ(l.desktop().Get(l.set->about().hwnd()).presents.back(), 255);
       }},
      {"about fading out as the last window", [](Launcher& l) { l.set->ShowAbout(); },
       [](Launcher& l) { l.set->ExitFromMenu(); },
       [](Launcher& l) {
         EXPECT_FALSE(l.desktop().FindOurTopLevel("关于"));
         EXPECT_FALSE(l.set->AnyOpen());
         EXPECT_TRUE(l.sim.loop.quit);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim::TempDir folder;
    Launcher l(folder.path());
    int pumps = 0;
    bool armed = !c.act;
    l.sim.loop.onPump = [&] {
      // The about window fades out last of all: fail there, not in main's fade.
      const bool aboutOnly = std::string(c.name).find("last window") != std::string::npos;
      if (armed && (!aboutOnly || l.set->about().state() == ui::LayeredPngWindow::State::Closing) &&
          ++pumps == 7)
        throw core::UserError("出错了。", "a handler failed between two frames");
    };
    if (c.act) {
      l.Start();
      c.before(l);
      armed = true;
      c.act(l);
    } else {
      l.Start();
    }
    c.expect(l);
    EXPECT_EQ(std::count_if(l.desktop().messages.begin(), l.desktop().messages.end(),
                            [](const auto& m) { return m.text == "出错了。"; }),
              1);
  }
}

TEST_F(WindowSetTest, AnUndecodablePictureLeavesItsWindowEmptyAndTheLauncherWhole) {
  for (const char* png : {"101", "102", "103"}) {
    SCOPED_TRACE(png);
    sim::TempDir folder;
    Launcher l(folder.path());
    l.sim.resources.Add("PNG", png, {'b', 'a', 'd'});
    l.Start();
    auto& d = l.desktop();
    EXPECT_TRUE(d.messages.empty());  // not "GDI+ did not start"
    EXPECT_TRUE(l.body().IsOpen());
    EXPECT_TRUE(l.online.monitorOpen);
    EXPECT_EQ(d.GetRect(l.Body()), kBodyRect);  // main kept its designed size and place
    d.cursor = {600, 700};
    d.TrayNotify(517);
    ASSERT_TRUE(l.set->menuItems().IsOpen());
    EXPECT_EQ(d.GetRect(l.set->menuItems().hwnd()), (RectPx{600, 400, 150, 300}));
    d.Press(l.set->menuItems().item(2).hwnd());
    ASSERT_TRUE(l.set->about().IsOpen());
    d.DoubleClick(l.set->about().hwnd());
    EXPECT_FALSE(l.set->about().IsOpen());
    l.set->CloseMain();
    EXPECT_TRUE(l.sim.loop.quit);
  }
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
