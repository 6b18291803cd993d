// The skinned pieces on their own: the hover machine, the check-box table, the menu
// placement, the layered window's fades and the file dialog record.
#include <gtest/gtest.h>

#include <vector>

#include "launcher_fixture.h"
#include "ui/check_boxes.h"
#include "ui/event_boundary.h"
#include "ui/layered_png_window.h"
#include "ui/popup_menu.h"
#include "ui/skin.h"
#include "ui/skinned_control.h"
#include "ui/version_selector.h"

namespace tovren::uitest {
namespace {

using platform::kLeftButton;

TEST(Skin, NamesHaveTwoDigitFamilyAndState) {
  EXPECT_EQ(ui::LoadSkinBitmap(18, 3), "ojb1803");
  EXPECT_EQ(ui::LoadSkinBitmap(1, 1), "ojb0101");
  EXPECT_EQ(ui::LoadSkinBitmap(ui::kFamilyVersion, 3), "ojb0903");
}

// A 62 x 32 pixel action button (family 16) in a window of its own.
class HoverMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::WindowSpec w;
    w.title = "w";
    w.rect = {100, 100, 300, 200};
    window = d.CreateTopLevel(w, nullptr);
    platform::ControlSpec spec;
    spec.parent = window;
    spec.rect = {10, 10, 62, 32};
    spec.bitmap = "ojb1601";
    control = d.CreateControl(spec, nullptr);
    button.Attach(control);
  }
  sim::SimDesktop d;
  Hwnd window = 0, control = 0;
  ui::SkinnedControl button{d, 16, 930, 480};
};

TEST_F(HoverMachine, EntersCapturesAndLeavesOnlyBeyondTheEdge) {
  struct Step {
    int x, y;
    bool hovered;
    const char* picture;
  };
  const std::vector<Step> steps = {
      {5, 5, true, "ojb1602"},    // entering: mark, capture, hover picture
      {62, 32, true, "ojb1602"},  // right and bottom edge still count as inside
      {0, 0, true, "ojb1602"},
      {63, 10, false, "ojb1601"}, // one pixel beyond the right edge
      {5, 5, true, "ojb1602"},
      {10, 33, false, "ojb1601"},  // beyond the bottom edge
      {5, 5, true, "ojb1602"},
      {-1, 10, false, "ojb1601"},
      {5, 5, true, "ojb1602"},
      {10, -1, false, "ojb1601"},
  };
  for (const auto& s : steps) {
    button.HoverPx(s.x, s.y);
    SCOPED_TRACE(std::to_string(s.x) + "," + std::to_string(s.y));
    EXPECT_EQ(button.Hovered(), s.hovered);
    EXPECT_EQ(d.capture, s.hovered ? control : 0u);
    EXPECT_EQ(d.Get(control).picture, s.picture);
  }
}

TEST_F(HoverMachine, WorksInTwipsAndDoesNothingWithoutItsGuard) {
  button.Hover(930, 480);  // enters
  button.Hover(930, 480);  // x == width in twips: inside
  EXPECT_TRUE(button.Hovered());
  button.Hover(931, 0);    // one twip beyond
  EXPECT_FALSE(button.Hovered());

  button.HoverPx(5, 5, /*guard=*/false);
  EXPECT_FALSE(button.Hovered());
  EXPECT_EQ(d.capture, 0u);
  EXPECT_EQ(d.Get(control).picture, "ojb1601");
}

TEST_F(HoverMachine, ClickClearsTheMarkSoTheNextMoveHoversAgain) {
  button.HoverPx(5, 5);
  d.SetPicture(control, "ojb1603");  // pressed
  button.Clicked();
  EXPECT_EQ(button.Tag(), "");
  EXPECT_EQ(d.capture, 0u);
  button.HoverPx(6, 6);
  EXPECT_EQ(d.Get(control).picture, "ojb1602");
  EXPECT_EQ(d.capture, control);
}

TEST_F(HoverMachine, AReleaseLetsGoOfACaptureThatNoLongerHovers) {
  // Another control that holds the capture is not this one's to release.
  platform::ControlSpec spec;
  spec.parent = window;
  spec.rect = {100, 10, 62, 32};
  Hwnd other = d.CreateControl(spec, nullptr);
  struct Case {
    const char* name;
    bool hovered;  // the move that entered it came first
    bool guard;    // still allowed to hover after the press
    int x, y;
    bool keepsCapture;
    const char* picture;
  };
  const std::vector<Case> cases = {
      {"switched on by the press, released inside", true, false, 5, 5, false, "ojb1603"},
      {"switched on by the press, released outside", true, false, 200, 90, false, "ojb1603"},
      {"released beyond the edge, no move first", true, true, 63, 10, false, "ojb1601"},
      {"released on the edge: the click follows", true, true, 62, 32, true, "ojb1603"},
      {"never hovered", false, true, 200, 90, true, "ojb1603"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    button.ClearTag();
    d.capture = 0;
    if (c.hovered) button.HoverPx(5, 5);
    else d.SetCapture(other);
    d.SetPicture(control, "ojb1603");  // what the press showed
    const Hwnd holder = d.capture;
    button.ButtonUpPx(c.x, c.y, c.guard);
    EXPECT_EQ(d.capture, c.keepsCapture ? holder : 0u);
    EXPECT_EQ(button.Hovered(), c.hovered && c.keepsCapture);
    EXPECT_EQ(d.Get(control).picture, c.picture);
  }
}

// --- check boxes ------------------------------------------------------------------------

struct CheckCase {
  const char* name;
  std::array<const char*, 8> before;
  int element;
  std::array<const char*, 8> after;
  std::vector<std::pair<int, std::string>> pictures;  // in the order shown
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class CheckBoxTable : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckBoxTable, PressChangesSwitchesAndPictures) {
  const CheckCase& c = GetParam();
  core::Settings s;
  for (int i = 0; i < 8; ++i) s.复选框辅助[static_cast<std::size_t>(i)].Set(c.before[static_cast<std::size_t>(i)]);
  std::vector<std::pair<int, std::string>> shown;
  ui::PressCheckBox(c.element, s, [&](int k, const std::string& b) { shown.emplace_back(k, b); });
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(s.复选框辅助[static_cast<std::size_t>(i)].Text(), c.after[static_cast<std::size_t>(i)]) << "switch " << i + 1;
  EXPECT_EQ(shown, c.pictures);
}

using P = std::vector<std::pair<int, std::string>>;
INSTANTIATE_TEST_SUITE_P(
    Presses, CheckBoxTable,
    ::testing::Values(
        CheckCase{"FirstFourToggleOn", {"0", "0", "0", "0", "0", "0", "0", "0"}, 2,
                  {"0", "0", "1", "0", "0", "0", "0", "0"}, P{{2, "ojb0303"}}},
        CheckCase{"FirstFourToggleOff", {"0", "0", "1", "0", "0", "0", "0", "0"}, 2,
                  {"0", "0", "0", "0", "0", "0", "0", "0"}, P{{2, "ojb0301"}}},
        CheckCase{"AnyTextButZeroIsOnForAPress", {"0", "yes", "0", "0", "0", "0", "0", "0"}, 1,
                  {"0", "0", "0", "0", "0", "0", "0", "0"}, P{{1, "ojb0201"}}},
        CheckCase{"Switch5OnClearsSwitch8", {"0", "0", "0", "0", "0", "1", "1", "1"}, 4,
                  {"0", "0", "0", "0", "1", "1", "1", "0"}, P{{4, "ojb0503"}, {7, "ojb0801"}}},
        CheckCase{"Switch5OffClears6And7", {"0", "0", "0", "0", "1", "1", "0", "0"}, 4,
                  {"0", "0", "0", "0", "0", "0", "0", "0"},
                  P{{4, "ojb0501"}, {5, "ojb0601"}, {6, "ojb0701"}}},
        CheckCase{"Switch8OnClears5To7", {"0", "0", "0", "0", "1", "1", "0", "0"}, 7,
                  {"0", "0", "0", "0", "0", "0", "0", "1"},
                  P{{7, "ojb0803"}, {4, "ojb0501"}, {5, "ojb0601"}, {6, "ojb0701"}}},
        CheckCase{"Switch8Off", {"0", "0", "0", "0", "0", "0", "0", "1"}, 7,
                  {"0", "0", "0", "0", "0", "0", "0", "0"}, P{{7, "ojb0801"}}},
        CheckCase{"Switch6NeedsSwitch5", {"0", "0", "0", "0", "0", "0", "0", "0"}, 5,
                  {"0", "0", "0", "0", "0", "0", "0", "0"}, P{}},
        CheckCase{"Switch6NeedsSwitch5ExactlyOne", {"0", "0", "0", "0", "yes", "0", "0", "0"}, 5,
                  {"0", "0", "0", "0", "yes", "0", "0", "0"}, P{}},
        CheckCase{"Switch6OnClears7", {"0", "0", "0", "0", "1", "0", "1", "0"}, 5,
                  {"0", "0", "0", "0", "1", "1", "0", "0"}, P{{5, "ojb0603"}, {6, "ojb0701"}}},
        CheckCase{"Switch7OnClears6", {"0", "0", "0", "0", "1", "1", "0", "0"}, 6,
                  {"0", "0", "0", "0", "1", "0", "1", "0"}, P{{6, "ojb0703"}, {5, "ojb0601"}}},
        CheckCase{"Switch6Off", {"0", "0", "0", "0", "1", "1", "0", "0"}, 5,
                  {"0", "0", "0", "0", "1", "0", "0", "0"}, P{{5, "ojb0601"}}}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(CheckBoxGuard, OnlyExactZeroHoversAnd6And7NeedSwitch5) {
  core::Settings s;
  EXPECT_TRUE(ui::CheckBoxMayHover(0, s));
  EXPECT_TRUE(ui::CheckBoxMayHover(7, s));
  EXPECT_FALSE(ui::CheckBoxMayHover(5, s));  // switch 5 is off
  s.复选框辅助[1].Set("yes");
  EXPECT_FALSE(ui::CheckBoxMayHover(1, s));  // neither "0": no hover
  s.复选框辅助[0].Set("1");
  EXPECT_FALSE(ui::CheckBoxMayHover(0, s));
  s.复选框辅助[4].Set("1");
  EXPECT_TRUE(ui::CheckBoxMayHover(5, s));
  EXPECT_TRUE(ui::CheckBoxMayHover(6, s));
  s.复选框辅助[6].Set("1");
  EXPECT_FALSE(ui::CheckBoxMayHover(6, s));
}

// --- menu placement --------------------------------------------------------------------

TEST(MenuPlacement, OpensRightOfThePointerWhen150PixelsRemainElseLeft) {
  const platform::SizePx screen{1280, 1024};
  struct Case {
    platform::PointPx pointer;
    ui::RectTw expected;
  };
  const std::vector<Case> cases = {
      {{1130, 700}, {1130 * 15, 400 * 15, 2250, 4500}},  // exactly 150 from the edge: right
      {{1131, 700}, {981 * 15, 400 * 15, 2250, 4500}},   // one less: left
      {{0, 1024}, {0, 724 * 15, 2250, 4500}},
      {{500, 100}, {500 * 15, -200 * 15, 2250, 4500}},   // no vertical correction
  };
  for (const auto& c : cases) EXPECT_EQ(ui::MenuPlacement(c.pointer, screen), c.expected);
}

// --- the layered window ----------------------------------------------------------------

std::vector<std::uint8_t> Frames(int from, int to, int step) {
  std::vector<std::uint8_t> v;
  for (int a = from; step > 0 ? a <= to : a >= to; a += step) v.push_back(static_cast<std::uint8_t>(a));
  return v;
}

class LayeredWindow : public ::testing::Test {
 protected:
  LayeredWindow() : sim(dir.path()) { AddLauncherResources(sim.resources); }
  sim::TempDir dir;
  sim::SimPlatform sim;
};

TEST_F(LayeredWindow, FadesInAndOutOver51FramesEachHandlingEventsBetween) {
  ui::LayeredPngWindow w(sim.Get(), {"关于", "103", {340, 350}, std::nullopt});
  bool followed = false;
  w.followOn = [&] {
    followed = true;
    // The follow-on runs once the window is fully visible.
    EXPECT_EQ(sim.desktop.Get(w.hwnd()).presents.back(), 255);
  };
  w.Show();
  Hwnd h = w.hwnd();
  auto& win = sim.desktop.Get(h);
  EXPECT_TRUE(followed);
  EXPECT_EQ(win.presents, Frames(5, 255, 5));
  EXPECT_EQ(win.presents.size(), 51u);
  EXPECT_EQ(sim.loop.pumps, 51);
  EXPECT_EQ(win.rect, (platform::RectPx{470, 337, 340, 350}));  // centred on 1280 x 1024
  EXPECT_TRUE(win.layered);
  EXPECT_TRUE(win.topmost);
  EXPECT_EQ(LogFrom(sim.desktop.log, "create 关于"),
            (std::vector<std::string>{"create 关于", "surface 关于", "layered 关于", "topmost 关于",
                                      "show 关于"}));

  // Hiding and showing an open window is immediate.
  w.Hide();
  w.Show();
  EXPECT_EQ(win.presents.size(), 51u);
  EXPECT_TRUE(win.visible);

  w.Close();
  EXPECT_EQ(sim.loop.pumps, 102);
  EXPECT_FALSE(sim.desktop.IsWindow(h));
  EXPECT_EQ(LogFrom(sim.desktop.log, "release surface"),
            (std::vector<std::string>{"release surface 关于", "destroy 关于"}));
  EXPECT_FALSE(w.IsOpen());
}

TEST_F(LayeredWindow, RecordsEveryFrameOfBothFades) {
  ui::LayeredPngWindow w(sim.Get(), {"关于", "103", {340, 350}, std::nullopt});
  std::vector<std::uint8_t> seen;
  w.Show();
  Hwnd h = w.hwnd();
  sim.loop.onPump = [&] { seen = sim.desktop.Get(h).presents; };
  w.Close();
  auto expected = Frames(5, 255, 5);
  auto out = Frames(250, 0, -5);
  expected.insert(expected.end(), out.begin(), out.end());
  EXPECT_EQ(seen, expected);  // the last frame shown is fully transparent
}

TEST_F(LayeredWindow, CloseDuringTheFadeInWaitsUntilTheFadeHasEnded) {
  ui::LayeredPngWindow w(sim.Get(), {"menu", "102", {150, 300}, ui::kMenuFirstPlace});
  bool followed = false;
  w.followOn = [&] { followed = true; };
  int pumps = 0;
  bool surfaceAliveAtEveryFrame = true;
  sim.loop.onPump = [&] {
    ++pumps;
    auto* win = sim.desktop.Find(w.hwnd());
    if (pumps <= 51 && (!win || !win->surfaceAlive)) surfaceAliveAtEveryFrame = false;
    if (pumps == 10) w.Close();  // e.g. the worker dismissing the menu between two frames
  };
  w.Show();
  EXPECT_TRUE(surfaceAliveAtEveryFrame);
  EXPECT_FALSE(followed);
  EXPECT_FALSE(w.IsOpen());
  EXPECT_EQ(pumps, 102);  // the whole fade-in, then the whole fade-out
  EXPECT_EQ(LogFrom(sim.desktop.log, "create menu").front(), "create menu");
  EXPECT_EQ(sim.desktop.log.back(), "destroy menu");
}

TEST_F(LayeredWindow, GraphicsFailureClosesAtOnceWithoutFadeOrFollowOn) {
  sim.desktop.failLayeredSurface = true;
  ui::LayeredPngWindow w(sim.Get(), {"关于", "103", {340, 350}, std::nullopt});
  bool followed = false, closed = false, failed = false;
  w.followOn = [&] { followed = true; };
  w.onClosed = [&] { closed = true; };
  w.onSurfaceFailed = [&] { failed = true; };
  w.Show();
  EXPECT_FALSE(followed);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(failed);
  EXPECT_FALSE(w.IsOpen());
  EXPECT_EQ(sim.loop.pumps, 0);
  EXPECT_EQ(sim.desktop.FindOurTopLevel("关于"), 0u);
}

TEST_F(LayeredWindow, DoubleClickClosesOnlyWhereAsked) {
  ui::LayeredPngWindow about(sim.Get(), {"关于", "103", {340, 350}, std::nullopt});
  about.closeOnDoubleClick = true;
  about.Show();
  sim.desktop.Press(about.hwnd());  // a single click does nothing
  EXPECT_TRUE(about.IsOpen());
  sim.desktop.DoubleClick(about.hwnd());
  EXPECT_FALSE(about.IsOpen());

  ui::LayeredPngWindow other(sim.Get(), {"menu", "102", {150, 300}, ui::kMenuFirstPlace});
  other.Show();
  EXPECT_EQ(sim.desktop.GetRect(other.hwnd()), (platform::RectPx{1805, 682, 150, 300}));
  sim.desktop.DoubleClick(other.hwnd());
  EXPECT_TRUE(other.IsOpen());
}

// A handler of another window failing between two frames (the platform rethrows it from the
// pump) must not leave the window half faded: it reaches its state, then the failure is told.
TEST_F(LayeredWindow, AHandlerFailingBetweenFramesStillFinishesEitherFade) {
  for (bool duringFadeIn : {true, false}) {
    SCOPED_TRACE(duringFadeIn ? "fade-in" : "fade-out");
    sim::TempDir folder;
    sim::SimPlatform p(folder.path());
    AddLauncherResources(p.resources);
    ui::LayeredPngWindow w(p.Get(), {"关于", "103", {340, 350}, std::nullopt});
    int followOns = 0, closes = 0, pumps = 0;
    w.followOn = [&] { ++followOns; };
    w.onClosed = [&] { ++closes; };
    if (!duringFadeIn) w.Show();
    const Hwnd shown = w.hwnd();
    p.loop.onPump = [&] {
      if (++pumps == 10) throw core::UserError("出错了。", "a handler failed");
    };
    if (duringFadeIn) {
      w.Show();
      const auto& win = p.desktop.Get(w.hwnd());
      EXPECT_EQ(win.presents, Frames(5, 255, 5));  // every frame, to the last
      EXPECT_EQ(w.state(), ui::LayeredPngWindow::State::Open);
      EXPECT_EQ(followOns, 1);
    } else {
      w.Close();
      EXPECT_EQ(pumps, 51);
      EXPECT_FALSE(p.desktop.IsWindow(shown));
      EXPECT_EQ(w.state(), ui::LayeredPngWindow::State::Closed);
      EXPECT_EQ(closes, 1);
      EXPECT_EQ(LogFrom(p.desktop.log, "release surface"),
                (std::vector<std::string>{"release surface 关于", "destroy 关于", "message 出错了。"}));
    }
    ASSERT_EQ(p.desktop.messages.size(), 1u);
    EXPECT_EQ(p.desktop.messages[0].text, "出错了。");
  }
}

TEST_F(LayeredWindow, AnUndecodablePictureLeavesTheWindowEmptyAndGoesOn) {
  sim.resources.Add("PNG", "103", {'n', 'o', 't', ' ', 'p', 'n', 'g'});
  ui::LayeredPngWindow w(sim.Get(), {"关于", "103", {340, 350}, std::nullopt});
  bool followed = false, failed = false;
  w.followOn = [&] { followed = true; };
  w.onSurfaceFailed = [&] { failed = true; };
  w.Show();
  EXPECT_TRUE(followed);
  EXPECT_FALSE(failed);
  EXPECT_TRUE(w.IsOpen());
  EXPECT_EQ(sim.desktop.GetRect(w.hwnd()), (platform::RectPx{470, 337, 340, 350}));  // as designed
  w.Close();
  EXPECT_FALSE(w.IsOpen());
}

TEST(BrowseDialog, RecordAsTheSystemDialogExpects) {
  auto r = ui::BrowseRequest(42, "D:\\Tools\\start.exe");
  EXPECT_EQ(r.owner, 42u);
  EXPECT_EQ(r.title, "选择游戏平台");
  EXPECT_EQ(r.filters, (std::vector<std::pair<std::string, std::string>>{
                           {"可执行文件(*.exe)", "*.exe"}, {"所有文件(*.*)", "*.*"}}));
  EXPECT_EQ(r.initialFolder, "D:\\Tools\\start.exe");
  EXPECT_EQ(r.flags, 0x1804u);
  EXPECT_EQ(r.bufferChars, 255);
}

TEST(EventBoundary, EveryFailureBecomesOneMessageBox) {
  sim::SimDesktop d;
  EXPECT_TRUE(ui::RunGuarded(d, 0, [] {}));
  EXPECT_FALSE(ui::RunGuarded(d, 0, [] { throw core::UserError("请重试。", "retry"); }));
  EXPECT_FALSE(ui::RunGuarded(d, 0, [] { throw platform::OsError("write x", 5); }));
  EXPECT_FALSE(ui::RunGuarded(d, 0, [] { throw 3; }));
  ASSERT_EQ(d.messages.size(), 3u);
  EXPECT_EQ(d.messages[0].title, core::kMessageTitle);
  EXPECT_EQ(d.messages[0].text, "请重试。");
  EXPECT_EQ(d.messages[1].text, ui::kUnexpectedError);
  EXPECT_EQ(d.messages[2].text, ui::kUnexpectedError);
}

}  // namespace
}  // namespace tovren::uitest
