// The pointer's messages as the logic hears them: moves with the buttons held, downs, the
// click synthesis and its capture rule, double clicks, capture, and controls without
// handlers being transparent to the mouse.
#include <gtest/gtest.h>

#include "platform/win32/desktop.h"
#include "test_support.h"

namespace tovren::win32 {
namespace {

using namespace test;
using platform::ControlKind;

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class MouseTest : public ::testing::Test {
 public:
  void SetUp() override {
    platform::WindowSpec spec;
    spec.title = "鼠标";
    spec.rect = {300, 300, 200, 100};
    window = desktop.CreateTopLevel(spec, &events);
    button = desktop.CreateControl({ControlKind::Picture, window, {10, 10, 30, 20}, "", ""}, &events);
    other = desktop.CreateControl({ControlKind::Picture, window, {60, 10, 30, 20}, "", ""}, &events);
    events.Name(window, "window");
    events.Name(button, "button");
    events.Name(other, "other");
    desktop.Show(window, true);
  }
  void TearDown() override { ::ReleaseCapture(); }
  void Send(Hwnd to, UINT message, WPARAM keys, int x, int y) {
    SendMessageW(H(to), message, keys, At(x, y));
  }
  std::vector<std::string> Moves() const {
    std::vector<std::string> moves;
    for (const auto& e : events.log)
      if (e.rfind("move ", 0) == 0) moves.push_back(e);
    return moves;
  }
  Win32Desktop desktop;
  Recorder events;
  Hwnd window = 0, button = 0, other = 0;
};

TEST_F(MouseTest, MovesCarryTheButtonsHeldAndControlRelativePixels) {
  Send(button, WM_MOUSEMOVE, 0, 3, 4);
  Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 1, 1);
  Send(button, WM_MOUSEMOVE, MK_LBUTTON, 29, 19);
  Send(button, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, 1, 1);
  Send(button, WM_MBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_MBUTTON, 1, 1);
  Send(button, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_MBUTTON, -5, 40);
  Send(button, WM_LBUTTONUP, MK_RBUTTON | MK_MBUTTON, 1, 1);
  Send(button, WM_MBUTTONUP, MK_RBUTTON, 1, 1);
  Send(window, WM_MOUSEMOVE, MK_RBUTTON, 150, 90);
  EXPECT_EQ(Moves(), (std::vector<std::string>{"move button 0 3 4", "move button 1 29 19",
                                               "move button 7 -5 40", "move window 2 150 90"}));
}

// A press that hides its own window (start, minimise) never sees its release under Wine,
// which goes on flagging the button in every move: the skinned strip would then drag
// the windows with no button held.
TEST_F(MouseTest, AButtonWhoseReleaseWasNeverSeenIsNotHeld) {
  Send(button, WM_MOUSEMOVE, MK_LBUTTON, 3, 4);  // held, but not pressed on our windows
  Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 1, 1);
  desktop.Show(window, false);
  desktop.Show(window, true);
  Send(button, WM_MOUSEMOVE, MK_LBUTTON, 5, 6);
  EXPECT_EQ(Moves(), (std::vector<std::string>{"move button 0 3 4", "move button 0 5 6"}));
}

// The up comes where the capture is, before the click it completes; outside, it comes
// alone. The hover machine lets a capture go there.
TEST_F(MouseTest, TheUpComesToTheCaptureBeforeItsClick) {
  events.logUps = true;
  Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  Send(button, WM_LBUTTONUP, 0, 5, 6);
  Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  Send(button, WM_MOUSEMOVE, MK_LBUTTON, -40, 70);  // slid off with the button held
  Send(button, WM_LBUTTONUP, 0, -40, 70);
  EXPECT_EQ(events.log, (std::vector<std::string>{
                            "down button 1 5 5", "up button 1 5 6", "click button",
                            "down button 1 5 5", "move button 1 -40 70", "up button 1 -40 70"}));
  EXPECT_EQ(GetCapture(), nullptr);  // the press's own capture went with its release
}

TEST_F(MouseTest, PostedMessagesArriveThroughTheLoop) {
  PostMessageW(H(button), WM_MOUSEMOVE, 0, At(1, 2));
  PostMessageW(H(button), WM_LBUTTONDOWN, MK_LBUTTON, At(1, 2));
  PostMessageW(H(button), WM_LBUTTONUP, 0, At(1, 2));
  ASSERT_TRUE(PumpUntil([&] { return events.log.size() >= 3; }));
  EXPECT_EQ(events.log,
            (std::vector<std::string>{"move button 0 1 2", "down button 1 1 2", "click button"}));
}

struct ClickCase {
  const char* name;
  std::function<void(MouseTest&)> between;  // what happens while the button is held
  int upX, upY;
  bool clicks;
};

TEST_F(MouseTest, ClickNeedsDownAndUpOnTheSameControlWithTheCaptureKept) {
  const std::vector<ClickCase> cases = {
      {"plain press", [](MouseTest&) {}, 5, 5, true},
      {"up on the far edge", [](MouseTest&) {}, 29, 19, true},
      {"capture released", [](MouseTest& t) { t.desktop.ReleaseCapture(); }, 5, 5, false},
      {"capture taken by another control",
       [](MouseTest& t) { t.desktop.SetCapture(t.other); }, 5, 5, false},
      {"capture taken again by itself", [](MouseTest& t) { t.desktop.SetCapture(t.button); },
       5, 5, true},
      {"up outside the control", [](MouseTest&) {}, 30, 5, false},
      {"up above the control", [](MouseTest&) {}, 5, -1, false},
  };
  for (const auto& c : cases) {
    events.log.clear();
    Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    c.between(*this);
    Send(button, WM_LBUTTONUP, 0, c.upX, c.upY);
    std::vector<std::string> expected = {"down button 1 5 5"};
    if (c.clicks) expected.push_back("click button");
    EXPECT_EQ(events.log, expected) << c.name;
    ::ReleaseCapture();
  }
}

TEST_F(MouseTest, PressCapturesUntilReleaseUnlessTheControlHeldItAlready) {
  Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  EXPECT_EQ(GetCapture(), H(button)) << "moves while held reach the pressed control";
  Send(button, WM_LBUTTONUP, 0, 5, 5);
  EXPECT_EQ(GetCapture(), nullptr);

  // A hovered control holds the capture already (the skin's hover machine); a click must
  // leave it there so that the control still sees the move that leaves it.
  desktop.SetCapture(button);
  Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  Send(button, WM_LBUTTONUP, 0, 5, 5);
  EXPECT_EQ(GetCapture(), H(button));
  EXPECT_EQ(events.log.back(), "click button");
}

TEST_F(MouseTest, OtherButtonsGoDownButNeverClick) {
  Send(button, WM_RBUTTONDOWN, MK_RBUTTON, 2, 3);
  Send(button, WM_RBUTTONUP, 0, 2, 3);
  Send(button, WM_MBUTTONDOWN, MK_MBUTTON, 4, 5);
  Send(button, WM_MBUTTONUP, 0, 4, 5);
  EXPECT_EQ(events.log, (std::vector<std::string>{"down button 2 2 3", "down button 4 4 5"}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MouseTest, DoubleClickIsReportedAndItsSecondUpIsNoClick) {
  Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 100, 50);
  Send(window, WM_LBUTTONUP, 0, 100, 50);
  Send(window, WM_LBUTTONDBLCLK, MK_LBUTTON, 100, 50);
  Send(window, WM_LBUTTONUP, 0, 100, 50);
  EXPECT_EQ(events.log, (std::vector<std::string>{"down window 1 100 50", "click window",
                                                  "double window"}));
}

TEST_F(MouseTest, HandlerDestroyingItsControlOnDownIsSafe) {
  events.onDown = [&](Hwnd c) { desktop.Destroy(c); };
  Send(button, WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
  EXPECT_FALSE(desktop.IsWindow(button));
  Send(other, WM_LBUTTONUP, 0, 5, 5);
  EXPECT_EQ(events.log, (std::vector<std::string>{"down button 1 5 5"}));
}

TEST_F(MouseTest, CaptureDeliversTheRealPointerOutsideTheControl) {
  // Through the window system itself: the pointer moves over the other control, yet the
  // capturing one hears it, in its own coordinates.
  SetCursorPos(300 + 15, 300 + 15);
  PumpFor(50);
  desktop.SetCapture(button);
  events.log.clear();
  SetCursorPos(300 + 70, 300 + 20);
  ASSERT_TRUE(PumpUntil([&] {
    return !events.log.empty() && events.log.back().rfind("move button", 0) == 0 &&
           events.log.back() == "move button 0 60 10";
  })) << (events.log.empty() ? "nothing" : events.log.back());
  EXPECT_EQ(desktop.CursorPos(), (platform::PointPx{370, 320}));
}

TEST_F(MouseTest, ControlsWithoutHandlersLetThePointerThrough) {
  Hwnd inert = desktop.CreateControl({ControlKind::Picture, window, {10, 10, 30, 20}, "", ""}, nullptr);
  Hwnd label = desktop.CreateControl({ControlKind::Label, window, {0, 0, 5, 5}, "", ""}, nullptr);
  Hwnd edit = desktop.CreateControl({ControlKind::Edit, window, {0, 40, 50, 16}, "", ""}, nullptr);
  auto hit = [](Hwnd h) { return SendMessageW(H(h), WM_NCHITTEST, 0, MAKELPARAM(311, 311)); };
  EXPECT_EQ(hit(inert), HTTRANSPARENT);
  EXPECT_EQ(hit(label), HTTRANSPARENT);
  EXPECT_NE(hit(edit), HTTRANSPARENT) << "an edit still takes typing";
  EXPECT_NE(hit(button), HTTRANSPARENT);
}

TEST_F(MouseTest, LaterControlLiesAboveEarlierOnes) {
  // button and the new one overlap; the new one is on top, as the layout expects.
  Hwnd top = desktop.CreateControl({ControlKind::Picture, window, {15, 12, 10, 10}, "", ""}, &events);
  HWND above = GetWindow(H(button), GW_HWNDPREV);
  bool found = false;
  for (; above; above = GetWindow(above, GW_HWNDPREV)) found |= above == H(top);
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace tovren::win32
