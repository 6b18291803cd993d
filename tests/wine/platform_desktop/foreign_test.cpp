// Other windows (another thread's, standing for another program), titles, messages with
// a time-out, the cursor clip, the screen and the tray icon.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32/desktop.h"
#include "platform/win32/wide.h"
#include "test_support.h"

namespace tovren::win32 {
namespace {

using namespace test;
using platform::RectPx;

// A window of another thread, like the IP tool's: an edit and a button "确定". A hung
// one never handles its messages.
class ForeignWindow {
 public:
  ForeignWindow(const std::wstring& title, bool hung) {
    thread_ = std::thread([this, title, hung] {
      window_ = CreateWindowExW(0, L"STATIC", title.c_str(), WS_OVERLAPPED, 40, 40, 200, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
      edit_ = CreateWindowExW(0, L"EDIT", L"255.255.255.255", WS_CHILD | WS_VISIBLE, 0, 0, 120,
                              20, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
      button_ = CreateWindowExW(0, L"BUTTON", L"确定", WS_CHILD | WS_VISIBLE, 0, 30, 60, 20,
                                window_, nullptr, GetModuleHandleW(nullptr), nullptr);
      threadId_ = GetCurrentThreadId();
      ready_ = true;
      if (hung) {
        while (!stop_) Sleep(10);
      } else {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
      }
      DestroyWindow(window_);
    });
    while (!ready_) Sleep(1);
  }
  ~ForeignWindow() {
    stop_ = true;
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  Hwnd window() const { return reinterpret_cast<Hwnd>(window_); }
  Hwnd edit() const { return reinterpret_cast<Hwnd>(edit_); }
  Hwnd button() const { return reinterpret_cast<Hwnd>(button_); }

 private:
  std::thread thread_;
  std::atomic<bool> ready_{false}, stop_{false};
  DWORD threadId_ = 0;
  HWND window_ = nullptr, edit_ = nullptr, button_ = nullptr;
};

class ForeignTest : public ::testing::Test {
 protected:
  Win32Desktop desktop;
  Recorder events;
};

TEST_F(ForeignTest, FindsWindowsByTitleAndChildrenByText) {
  ForeignWindow tool(L"zarnu_ip 测试", false);
  EXPECT_EQ(desktop.FindTopLevel("zarnu_ip 测试"), tool.window());
  EXPECT_EQ(desktop.FindTopLevel("zarnu_ip 不在"), 0u);
  EXPECT_EQ(desktop.FindChild(tool.window(), "确定"), tool.button());
  EXPECT_EQ(desktop.FindChild(tool.window(), "start"), 0u);
  EXPECT_EQ(desktop.FindChild(0, "确定"), 0u) << "no parent never means the top-level windows";
}

TEST_F(ForeignTest, SendTextSetsAnotherProgramsEdit) {
  ForeignWindow tool(L"zarnu_ip 发送", false);
  EXPECT_TRUE(desktop.SendText(tool.edit(), "10.0.0.7", 2000));
  wchar_t text[64] = {};
  SendMessageW(H(tool.edit()), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"10.0.0.7");
}

TEST_F(ForeignTest, SendTextToAHungWindowGivesUpAtItsTimeOut) {
  ForeignWindow hung(L"zarnu_ip 挂起", true);
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(desktop.SendText(hung.edit(), "10.0.0.8", 300));
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(ms, 3000);
  EXPECT_FALSE(desktop.SendText(0, "x", 100));
}

TEST_F(ForeignTest, TitleIsCutAt254BytesOfTheAnsiFormOnWholeCharacters) {
  // The tests run with code page 936: a Chinese character is two bytes there.
  ASSERT_EQ(GetACP(), 936u);
  struct Case {
    std::string title, expected;
  };
  const std::vector<Case> cases = {
      {"Tovren", "Tovren"},
      {std::string(300, 'a'), std::string(254, 'a')},
      {[] { std::string s; for (int i = 0; i < 200; ++i) s += "中"; return s; }(),
       [] { std::string s; for (int i = 0; i < 127; ++i) s += "中"; return s; }()},
      {std::string(253, 'a') + "中", std::string(253, 'a')},
      {std::string(252, 'a') + "中b", std::string(252, 'a') + "中"},
  };
  for (const auto& c : cases) {
    platform::WindowSpec spec;
    spec.title = c.title;
    spec.rect = {0, 0, 10, 10};
    Hwnd w = desktop.CreateTopLevel(spec, nullptr);
    EXPECT_EQ(desktop.WindowTitle(w), c.expected) << c.title.size();
    desktop.Destroy(w);
  }
  EXPECT_EQ(desktop.WindowTitle(0), "");
}

TEST_F(ForeignTest, ClientRectOnScreen) {
  ForeignWindow tool(L"zarnu_ip 位置", false);
  auto rect = desktop.ClientRectOnScreen(tool.edit());
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->width, 120);
  EXPECT_EQ(rect->height, 20);
  platform::WindowSpec spec;
  spec.title = "位置";
  spec.rect = {123, 77, 40, 30};
  Hwnd w = desktop.CreateTopLevel(spec, nullptr);
  EXPECT_EQ(desktop.ClientRectOnScreen(w), (RectPx{123, 77, 40, 30}));
  desktop.Destroy(w);
  EXPECT_EQ(desktop.ClientRectOnScreen(w), std::nullopt);
}

TEST_F(ForeignTest, PostMessageReachesTheWindow) {
  platform::WindowSpec spec;
  spec.title = "投递";
  spec.rect = {0, 0, 50, 50};
  Hwnd w = desktop.CreateTopLevel(spec, &events);
  events.Name(w, "w");
  desktop.PostMessage(w, WM_LBUTTONDOWN, MK_LBUTTON, 0x10001);
  desktop.PostMessage(w, WM_LBUTTONUP, 0, 0x10001);
  ASSERT_TRUE(PumpUntil([&] { return events.log.size() == 2; }));
  EXPECT_EQ(events.log, (std::vector<std::string>{"down w 1 1 1", "click w"}));
}

TEST_F(ForeignTest, ClipCursorSetsAndReleasesTheClip) {
  desktop.ClipCursor(RectPx{10, 20, 300, 200});
  RECT clip{};
  GetClipCursor(&clip);
  EXPECT_EQ(clip.left, 10);
  EXPECT_EQ(clip.top, 20);
  EXPECT_EQ(clip.right, 310);
  EXPECT_EQ(clip.bottom, 220);
  desktop.ClipCursor(std::nullopt);
  GetClipCursor(&clip);
  auto screen = desktop.ScreenSize();
  EXPECT_EQ(clip.right - clip.left, screen.width);
  EXPECT_EQ(clip.bottom - clip.top, screen.height);
}

TEST_F(ForeignTest, ScreenSizeIsTheDisplays) {
  EXPECT_EQ(desktop.ScreenSize(), (platform::SizePx{GetSystemMetrics(SM_CXSCREEN),
                                                    GetSystemMetrics(SM_CYSCREEN)}));
  EXPECT_GT(desktop.ScreenSize().width, 0);
}

TEST_F(ForeignTest, TrayIconAddModifyRemoveAndItsOwnCallbackMessage) {
  platform::WindowSpec spec;
  spec.title = "主体";
  spec.rect = {0, 0, 517, 290};
  Hwnd w = desktop.CreateTopLevel(spec, &events);
  events.Name(w, "w");
  platform::TrayIcon icon{w, 1, "Quellor.net"};
  EXPECT_TRUE(desktop.AddTrayIcon(icon));
  icon.tip = "改过的提示";
  EXPECT_TRUE(desktop.ModifyTrayIcon(icon));

  PostMessageW(H(w), Win32Desktop::kTrayMessage, 1, WM_LBUTTONDOWN);
  PostMessageW(H(w), Win32Desktop::kTrayMessage, 1, WM_RBUTTONUP);
  // A real pointer move at x = 513 is a move, never a tray click.
  PostMessageW(H(w), WM_MOUSEMOVE, 0, MAKELPARAM(513, 5));
  ASSERT_TRUE(PumpUntil([&] { return events.log.size() >= 3; }));
  EXPECT_EQ(events.log, (std::vector<std::string>{"tray 513", "tray 517", "move w 0 513 5"}));

  EXPECT_TRUE(desktop.RemoveTrayIcon(icon));
  EXPECT_FALSE(desktop.RemoveTrayIcon(icon)) << "nothing left to remove";
}

std::wstring dialogElsewhere;
bool dialogSeen = false;

// While the modal dialog runs, this stands in for the user: it browses elsewhere (the
// dialog's own effect on the current folder) and cancels.
void CALLBACK BrowseAndCancel(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowW(nullptr, L"选择游戏平台");
  if (!dialog) return;
  dialogSeen = true;
  SetCurrentDirectoryW(dialogElsewhere.c_str());
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(ForeignTest, FileDialogCancelledGivesNothingAndKeepsTheCurrentFolder) {
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  dialogElsewhere = temp;
  dialogSeen = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, &BrowseAndCancel);
  platform::OpenFileRequest request;
  request.title = "选择游戏平台";
  request.filters = {{"可执行文件(*.exe)", "*.exe"}, {"所有文件(*.*)", "*.*"}};
  request.flags = 0x1804;
  auto chosen = desktop.OpenFile(request);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(dialogSeen) << "the dialog opened with its title";
  EXPECT_EQ(chosen, std::nullopt);
  wchar_t after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_STREQ(after, before) << "game files are named relative to the current folder";
}

}  // namespace
}  // namespace tovren::win32
