// Our top-level windows: creation, place, owner, the skin's style bits, destruction, close
// requests, and the layered surface drawn from a PNG.
#include <gtest/gtest.h>

#include "platform/win32/desktop.h"
#include "platform/win32/layered_surface.h"
#include "test_support.h"

namespace tovren::win32 {
namespace {

using namespace test;
using platform::RectPx;
using platform::WindowSpec;

class WindowsTest : public ::testing::Test {
 protected:
  Hwnd Window(const std::string& title, RectPx rect = {100, 120, 200, 90}, Hwnd owner = 0) {
    WindowSpec spec;
    spec.title = title;
    spec.rect = rect;
    spec.owner = owner;
    return desktop.CreateTopLevel(spec, &events);
  }
  Win32Desktop desktop;
  Recorder events;
};

TEST_F(WindowsTest, TopLevelIsCreatedHiddenAndKeepsItsClientRect) {
  Hwnd w = Window("窗口一", {100, 120, 200, 90});
  EXPECT_TRUE(desktop.IsWindow(w));
  EXPECT_FALSE(desktop.IsVisible(w));
  EXPECT_EQ(desktop.GetRect(w), (RectPx{100, 120, 200, 90}));
  EXPECT_EQ(desktop.GetText(w), "窗口一");

  desktop.Show(w, true);
  EXPECT_TRUE(desktop.IsVisible(w));
  desktop.Move(w, {300, 250, 517, 290});
  EXPECT_EQ(desktop.GetRect(w), (RectPx{300, 250, 517, 290}));
  EXPECT_EQ(desktop.ClientRectOnScreen(w), (RectPx{300, 250, 517, 290}));
  desktop.Show(w, false);
  EXPECT_FALSE(desktop.IsVisible(w));
}

TEST_F(WindowsTest, SkinnedWindowHasNoFrameAndNoTaskbarButtonUnlessAsked) {
  Hwnd plain = Window("无按钮");
  LONG style = GetWindowLongW(H(plain), GWL_STYLE);
  LONG ex = GetWindowLongW(H(plain), GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(ex & WS_EX_APPWINDOW);

  WindowSpec spec;
  spec.title = "有按钮";
  spec.rect = {0, 0, 50, 50};
  spec.taskbarButton = true;
  Hwnd shown = desktop.CreateTopLevel(spec, nullptr);
  ex = GetWindowLongW(H(shown), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_APPWINDOW);
  EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
}

TEST_F(WindowsTest, OwnerAtCreationAndLater) {
  Hwnd main = Window("main");
  Hwnd body = Window("主体", {10, 10, 50, 50}, main);
  EXPECT_EQ(GetWindow(H(body), GW_OWNER), H(main));
  Hwnd other = Window("其他");
  desktop.SetOwner(body, other);
  EXPECT_EQ(GetWindow(H(body), GW_OWNER), H(other));
  desktop.SetOwner(body, 0);
  EXPECT_EQ(GetWindow(H(body), GW_OWNER), nullptr);
}

TEST_F(WindowsTest, LayeredColourKeyAndTopmostBits) {
  Hwnd w = Window("皮肤");
  EXPECT_FALSE(GetWindowLongW(H(w), GWL_EXSTYLE) & WS_EX_LAYERED);
  desktop.AddLayeredStyle(w);
  LONG ex = GetWindowLongW(H(w), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_LAYERED);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW) << "adding the layered bit keeps the other bits";

  desktop.SetColorKey(w, 0xFF00FF);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(H(w), &key, &alpha, &flags));
  EXPECT_EQ(key, RGB(255, 0, 255));
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));

  desktop.SetTopmost(w);
  EXPECT_TRUE(GetWindowLongW(H(w), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(desktop.GetRect(w), (RectPx{100, 120, 200, 90})) << "topmost neither moves nor sizes";
}

TEST_F(WindowsTest, DestroyTakesChildrenButNotOwnedWindows) {
  Hwnd main = Window("main");
  Hwnd body = Window("主体", {10, 10, 50, 50}, main);
  Hwnd panel = desktop.CreateControl({platform::ControlKind::Picture, main, {0, 0, 20, 20}, "", ""},
                                     &events);
  Hwnd label = desktop.CreateControl({platform::ControlKind::Label, panel, {0, 0, 10, 10}, "", "x"},
                                     &events);
  desktop.Destroy(main);
  EXPECT_FALSE(desktop.IsWindow(main));
  EXPECT_FALSE(desktop.IsWindow(panel));
  EXPECT_FALSE(desktop.IsWindow(label));
  // The logic closes the owned window itself, after its own steps (saving the settings).
  ASSERT_TRUE(desktop.IsWindow(body));
  EXPECT_EQ(GetWindow(H(body), GW_OWNER), nullptr);
  desktop.Destroy(body);
  EXPECT_FALSE(desktop.IsWindow(body));
  EXPECT_TRUE(events.log.empty()) << events.log.front();
}

TEST_F(WindowsTest, CloseRequestIsReportedAndDestroysNothing) {
  Hwnd w = Window("关闭");
  events.Name(w, "w");
  SendMessageW(H(w), WM_CLOSE, 0, 0);
  EXPECT_EQ(events.log, (std::vector<std::string>{"close w"}));
  EXPECT_TRUE(desktop.IsWindow(w));
}

TEST_F(WindowsTest, ControlNeedsAParentOfOurs) {
  EXPECT_THROW(desktop.CreateControl({platform::ControlKind::Label, 0, {0, 0, 5, 5}, "", ""}, nullptr),
               platform::OsError);
  Hwnd w = Window("父");
  Hwnd edit = desktop.CreateControl({platform::ControlKind::Edit, w, {0, 0, 5, 5}, "", ""}, nullptr);
  EXPECT_THROW(desktop.CreateControl({platform::ControlKind::Label, edit, {0, 0, 5, 5}, "", ""}, nullptr),
               platform::OsError);
}

// --- layered surface ---------------------------------------------------------------------
class SurfaceTest : public WindowsTest {
 protected:
  // 4 x 3: opaque red, fully transparent, half-transparent white, opaque blue, ...
  platform::Bytes Picture() {
    std::vector<std::uint32_t> px(12, 0x00FF00FFu);  // opaque green
    px[0] = 0xFF0000FFu;
    px[1] = 0x12345600u;
    px[2] = 0xFFFFFF80u;
    px[11] = 0x0000FFFFu;
    return Png(4, 3, px);
  }
};

TEST_F(SurfaceTest, DecodesThePngIntoPremultipliedPixels) {
  Hwnd w = Window("层", {50, 60, 10, 10});
  desktop.AddLayeredStyle(w);
  auto surface = desktop.CreateLayeredSurface(w, Picture());
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->ImageSize(), (platform::SizePx{4, 3}));
  auto* s = dynamic_cast<Win32LayeredSurface*>(surface.get());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->PixelAt(0, 0), 0xFFFF0000u);
  EXPECT_EQ(s->PixelAt(1, 0), 0u) << "alpha 0 stays transparent, colour and all";
  std::uint32_t half = s->PixelAt(2, 0);
  EXPECT_NEAR(static_cast<int>(half >> 24), 0x80, 1);
  EXPECT_NEAR(static_cast<int>((half >> 16) & 0xFF), 0x80, 1) << "premultiplied";
  EXPECT_EQ(s->PixelAt(3, 2), 0xFF0000FFu) << "rows are not upside down";
  EXPECT_EQ(s->PixelAt(0, 1), 0xFF00FF00u);
}

TEST_F(SurfaceTest, PresentingSizesTheWindowToTheImageAndKeepsItsPlace) {
  Hwnd w = Window("层", {50, 60, 10, 10});
  desktop.AddLayeredStyle(w);
  desktop.SetTopmost(w);
  auto surface = desktop.CreateLayeredSurface(w, Picture());
  ASSERT_NE(surface, nullptr);
  desktop.Show(w, true);
  auto* s = static_cast<Win32LayeredSurface*>(surface.get());
  for (int alpha = 5; alpha <= 255; alpha += 5) {
    surface->Present(static_cast<std::uint8_t>(alpha));
    ASSERT_TRUE(s->LastPresentSucceeded()) << alpha;
  }
  EXPECT_EQ(desktop.GetRect(w), (RectPx{50, 60, 4, 3}));
  // Clicking the backdrop must not raise it over the window it owns.
  EXPECT_EQ(SendMessageW(H(w), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(H(w)),
                         MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  Hwnd plain = Window("普通");
  EXPECT_NE(SendMessageW(H(plain), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(H(plain)),
                         MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
}

TEST_F(SurfaceTest, EachSurfaceHasItsOwnGraphicsStartUp) {
  Hwnd a = Window("甲", {0, 0, 4, 3});
  Hwnd b = Window("乙", {0, 0, 4, 3});
  desktop.AddLayeredStyle(a);
  desktop.AddLayeredStyle(b);
  auto first = desktop.CreateLayeredSurface(a, Picture());
  auto second = desktop.CreateLayeredSurface(b, Picture());
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  second.reset();  // shuts down only its own start-up
  first->Present(200);
  EXPECT_TRUE(static_cast<Win32LayeredSurface*>(first.get())->LastPresentSucceeded());
  auto third = desktop.CreateLayeredSurface(b, Picture());
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(static_cast<Win32LayeredSurface*>(third.get())->PixelAt(0, 0), 0xFFFF0000u);
}

// The windows of ours above all others, frontmost first.
std::vector<HWND> Stacking(std::initializer_list<Hwnd> ours) {
  std::vector<HWND> order;
  for (HWND t = GetTopWindow(nullptr); t; t = GetWindow(t, GW_HWNDNEXT))
    for (Hwnd h : ours)
      if (t == H(h)) order.push_back(t);
  return order;
}

// The launcher's arrangement: the backdrop with a surface, the settings window it owns,
// then the about picture, all topmost.
TEST_F(SurfaceTest, BringToFrontPutsAWindowAboveEveryOtherTopmostOneAndActivatesIt) {
  Hwnd main = Window("main", {100, 100, 200, 150});
  Hwnd body = Window("主体", {120, 120, 100, 60}, main);
  Hwnd about = Window("关于", {130, 110, 80, 80});
  events.Name(main, "main");
  events.Name(body, "主体");
  events.Name(about, "关于");
  std::vector<std::unique_ptr<platform::LayeredSurface>> surfaces;
  for (Hwnd w : {main, body, about}) {
    desktop.AddLayeredStyle(w);
    desktop.SetTopmost(w);
  }
  surfaces.push_back(desktop.CreateLayeredSurface(main, Picture()));
  surfaces.push_back(desktop.CreateLayeredSurface(about, Picture()));
  desktop.Show(main, true);
  desktop.Show(body, true);
  desktop.Show(about, true);
  PumpFor(100);
  EXPECT_EQ(Stacking({main, body, about}), (std::vector<HWND>{H(about), H(body), H(main)}));
  desktop.BringToFront(body, false);
  PumpFor(100);
  EXPECT_EQ(Stacking({main, body, about}).front(), H(body));
  events.log.clear();
  events.logActivations = true;
  desktop.BringToFront(about, true);
  PumpFor(100);
  EXPECT_EQ(Stacking({main, body, about}), (std::vector<HWND>{H(about), H(body), H(main)}));
  EXPECT_EQ(GetForegroundWindow(), H(about));
  EXPECT_EQ(events.log, (std::vector<std::string>{"activate 关于"}));
}

TEST_F(SurfaceTest, UndecodableBytesGiveAnEmptySurfaceThatDrawsNothing) {
  Hwnd w = Window("坏");
  desktop.AddLayeredStyle(w);
  platform::Bytes cut = Picture();
  cut.resize(cut.size() / 2);
  for (const platform::Bytes& bytes : {platform::Bytes{}, platform::Bytes{'n', 'o', 't', ' ', 'p', 'n', 'g'}, cut}) {
    auto surface = desktop.CreateLayeredSurface(w, bytes);
    ASSERT_NE(surface, nullptr);  // GDI+ started: only the picture is missing
    EXPECT_EQ(surface->ImageSize(), (platform::SizePx{0, 0}));
    surface->Present(255);
    EXPECT_FALSE(static_cast<Win32LayeredSurface*>(surface.get())->LastPresentSucceeded());
  }
}

}  // namespace
}  // namespace tovren::win32
