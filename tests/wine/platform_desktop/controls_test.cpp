// Controls: pictures by resource name, transparent labels, edits (limit, change reports,
// selection, focus, colours on the key colour, font), tooltips.
#include <gtest/gtest.h>

#include "platform/win32/desktop.h"
#include "test_support.h"

#include <commctrl.h>

namespace tovren::win32 {
namespace {

using namespace test;
using platform::ControlKind;
using platform::RectPx;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::WindowSpec spec;
    spec.title = "控件";
    spec.rect = {200, 200, 120, 80};
    spec.backgroundColor = 0x00FF00;
    window = desktop.CreateTopLevel(spec, &events);
  }
  Hwnd Control(ControlKind kind, Hwnd parent, RectPx rect, std::string bitmap = "",
               std::string text = "", platform::WindowEvents* e = nullptr) {
    return desktop.CreateControl({kind, parent, rect, std::move(bitmap), std::move(text)},
                                 e ? e : &events);
  }
  Win32Desktop desktop;
  Recorder events;
  Hwnd window = 0;
};

TEST_F(ControlsTest, PictureShowsTheBitmapNamedInLowerCase) {
  Hwnd pic = Control(ControlKind::Picture, window, {10, 10, 8, 6}, "testred");
  EXPECT_TRUE(desktop.IsVisible(pic)) << "controls start visible";
  EXPECT_EQ(desktop.GetRect(pic), (RectPx{10, 10, 8, 6}));
  Canvas canvas(8, 6);
  desktop.PaintInto(pic, canvas.dc());
  EXPECT_EQ(canvas.At(0, 0), kRed);
  EXPECT_EQ(canvas.At(7, 5), kRed);

  desktop.SetPicture(pic, "TestBlue");
  desktop.PaintInto(pic, canvas.dc());
  EXPECT_EQ(canvas.At(3, 3), kBlue);

  EXPECT_THROW(desktop.SetPicture(pic, "ojb9999"), platform::OsError);
  EXPECT_THROW(Control(ControlKind::Picture, window, {0, 0, 8, 6}, "nosuch"), platform::OsError);
}

TEST_F(ControlsTest, KeyColourPixelsStayKeyColourAndUncoveredPartsShowTheParent) {
  Hwnd keyed = Control(ControlKind::Picture, window, {0, 0, 8, 6}, "testkeyed");
  Canvas canvas(12, 10);
  desktop.PaintInto(keyed, canvas.dc());
  EXPECT_EQ(canvas.At(1, 1), kMagenta) << "so the window's colour key makes it transparent";
  EXPECT_EQ(canvas.At(6, 1), kGreen);

  // A picture larger than its bitmap: the rest is the window beneath (its green fill).
  Hwnd small = Control(ControlKind::Picture, window, {20, 20, 10, 8}, "testsmall");
  desktop.PaintInto(small, canvas.dc());
  EXPECT_EQ(canvas.At(1, 1), RGB(255, 255, 0));
  EXPECT_EQ(canvas.At(8, 6), kGreen);
}

TEST_F(ControlsTest, WindowPaintsItsBackgroundBitmapOverItsColour) {
  platform::WindowSpec spec;
  spec.title = "背景";
  spec.rect = {0, 0, 12, 10};
  spec.backgroundBitmap = "testkeyed";
  spec.backgroundColor = 0x0000FF;
  Hwnd w = desktop.CreateTopLevel(spec, nullptr);
  Canvas canvas(12, 10);
  desktop.PaintInto(w, canvas.dc());
  EXPECT_EQ(canvas.At(0, 0), kMagenta);
  EXPECT_EQ(canvas.At(5, 5), kGreen);
  EXPECT_EQ(canvas.At(10, 8), kBlue);
}

TEST_F(ControlsTest, LabelIsTransparentOverItsPanel) {
  Hwnd panel = Control(ControlKind::Picture, window, {0, 0, 8, 6}, "testred");
  Hwnd label = Control(ControlKind::Label, panel, {0, 0, 8, 6}, "", "");
  Canvas canvas(8, 6);
  desktop.PaintInto(label, canvas.dc());
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(canvas.At(x, y), kRed) << x << "," << y;

  // Text in its colour on the panel's pixels.
  Hwnd wide = Control(ControlKind::Label, window, {0, 0, 60, 20}, "", "");
  desktop.SetTextColor(wide, 0x0000FF);
  desktop.SetText(wide, "■■■");
  EXPECT_EQ(desktop.GetText(wide), "■■■");
  Canvas text(60, 20);
  desktop.PaintInto(wide, text.dc());
  int blue = 0, green = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      COLORREF c = text.At(x, y);
      blue += c == kBlue;
      green += c == kGreen;
    }
  EXPECT_GT(blue, 10);
  EXPECT_GT(green, 600) << "no background of its own";
}

TEST_F(ControlsTest, EditRefusesTypingBeyondItsLimitAndReportsEachChange) {
  Hwnd edit = Control(ControlKind::Edit, window, {5, 5, 40, 16});
  events.Name(edit, "e");
  desktop.SetTextLimit(edit, 2);
  for (wchar_t c : {L'1', L'2', L'3'}) SendMessageW(H(edit), WM_CHAR, c, 1);
  EXPECT_EQ(desktop.GetText(edit), "12");
  EXPECT_EQ(events.log, (std::vector<std::string>{"changed e", "changed e"}));

  events.log.clear();
  desktop.SetText(edit, "99");
  desktop.SetText(edit, "99");
  EXPECT_EQ(desktop.GetText(edit), "99");
  // Once per assignment, never twice for one: the same text is reported again, as the
  // edit reports every WM_SETTEXT.
  EXPECT_EQ(events.log, (std::vector<std::string>{"changed e", "changed e"}));
}

TEST_F(ControlsTest, EditChangeHandlerMaySetAnotherEdit) {
  Recorder second;
  Hwnd b = Control(ControlKind::Edit, window, {0, 20, 40, 16}, "", "", &second);
  second.Name(b, "b");
  struct Chain : Recorder {
    Win32Desktop* desktop = nullptr;
    Hwnd target = 0;
    void OnTextChanged(Hwnd) override { desktop->SetText(target, "由甲"); }
  } chain;
  chain.desktop = &desktop;
  chain.target = b;
  Hwnd a = Control(ControlKind::Edit, window, {0, 0, 40, 16}, "", "", &chain);
  desktop.SetText(a, "甲");
  EXPECT_EQ(desktop.GetText(a), "甲");
  EXPECT_EQ(desktop.GetText(b), "由甲");
  EXPECT_EQ(second.log, (std::vector<std::string>{"changed b"}));
}

TEST_F(ControlsTest, EditSelectionAndFocus) {
  Hwnd edit = Control(ControlKind::Edit, window, {5, 5, 60, 16}, "", "abcdef");
  events.Name(edit, "e");
  desktop.SetSelection(edit, 1, 3);
  DWORD start = 0, end = 0;
  SendMessageW(H(edit), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 4u);

  desktop.Show(window, true);
  SetFocus(H(edit));
  EXPECT_EQ(events.log, (std::vector<std::string>{"focus e"}));
}

// Outside a dialog an edit does nothing with Tab: it is reported, and never typed.
TEST_F(ControlsTest, TabInAnEditIsReportedWithItsDirectionAndNotTyped) {
  Hwnd edit = Control(ControlKind::Edit, window, {5, 5, 60, 16}, "", "12");
  events.Name(edit, "e");
  desktop.Show(window, true);
  desktop.SetFocus(edit);
  EXPECT_EQ(desktop.Focused(), edit);
  events.log.clear();
  SendMessageW(H(edit), WM_KEYDOWN, VK_TAB, 1);
  SendMessageW(H(edit), WM_CHAR, L'\t', 1);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(H(edit), WM_KEYDOWN, VK_TAB, 1);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(events.log, (std::vector<std::string>{"tab e", "shift-tab e"}));
  EXPECT_EQ(desktop.GetText(edit), "12");
  desktop.SetFocus(window);
  EXPECT_EQ(desktop.Focused(), window);
}

TEST_F(ControlsTest, EditPaintsOnTheKeyColourInItsTextColour) {
  Hwnd edit = Control(ControlKind::Edit, window, {5, 5, 40, 16});
  desktop.SetTextColor(edit, 0x404040);
  HDC dc = CreateCompatibleDC(nullptr);
  // Before a key is set the window's background colour counts; then the key itself.
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(H(window), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(edit)));
  LOGBRUSH info{};
  GetObjectW(brush, sizeof(info), &info);
  EXPECT_EQ(info.lbColor, kGreen);
  desktop.SetColorKey(window, 0xFF00FF);
  brush = reinterpret_cast<HBRUSH>(
      SendMessageW(H(window), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(edit)));
  GetObjectW(brush, sizeof(info), &info);
  EXPECT_EQ(info.lbColor, kMagenta);
  EXPECT_EQ(GetBkColor(dc), kMagenta);
  EXPECT_EQ(GetTextColor(dc), RGB(0x40, 0x40, 0x40));
  DeleteDC(dc);

  // Inside a panel the edit asks the panel, which answers the same.
  Hwnd panel = Control(ControlKind::Picture, window, {0, 0, 60, 40}, "testred");
  Hwnd inner = Control(ControlKind::Edit, panel, {2, 2, 30, 16});
  dc = CreateCompatibleDC(nullptr);
  brush = reinterpret_cast<HBRUSH>(
      SendMessageW(H(panel), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(inner)));
  GetObjectW(brush, sizeof(info), &info);
  EXPECT_EQ(info.lbColor, kMagenta);
  DeleteDC(dc);
}

TEST_F(ControlsTest, FontIsTheRequestedCjkFaceOrAnInstalledOne) {
  Hwnd edit = Control(ControlKind::Edit, window, {5, 5, 40, 16});
  Hwnd label = Control(ControlKind::Label, window, {5, 30, 40, 16});
  desktop.SetFont(edit, platform::FontSpec{});  // 宋体, 10.5 points, bold, GB2312
  auto font = reinterpret_cast<HFONT>(SendMessageW(H(edit), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW lf{};
  GetObjectW(font, sizeof(lf), &lf);
  EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfHeight, -14) << "10.5 points at 96 dots per inch";
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  EXPECT_EQ(GetTextCharset(dc), GB2312_CHARSET) << "a font that can draw Chinese";
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);

  // A face that does not exist still gives a Chinese font.
  platform::FontSpec missing;
  missing.face = "不存在的字体";
  desktop.SetFont(label, missing);
  desktop.SetFont(edit, missing);
  font = reinterpret_cast<HFONT>(SendMessageW(H(edit), WM_GETFONT, 0, 0));
  dc = GetDC(nullptr);
  old = SelectObject(dc, font);
  EXPECT_EQ(GetTextCharset(dc), GB2312_CHARSET);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
}

TEST_F(ControlsTest, TooltipTextFollowsEverySet) {
  Hwnd label = Control(ControlKind::Label, window, {5, 5, 40, 16}, "", "D:\\...m\\start.exe");
  desktop.SetTooltip(label, "");
  desktop.SetTooltip(label, "D:\\Tools\\GamePlatform\\start.exe");
  HWND tip = nullptr;
  for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (GetWindow(h, GW_OWNER) == H(window) && lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) tip = h;
  }
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t buffer[256] = {};
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = H(window);
  info.uId = static_cast<UINT_PTR>(label);
  info.lpszText = buffer;
  SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(buffer, L"D:\\Tools\\GamePlatform\\start.exe");
}

}  // namespace
}  // namespace tovren::win32
