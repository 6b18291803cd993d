// The skin as the window code loads it from the executable: every skin bitmap
// by its lower-case name at its control's size, the window backgrounds with
// the key colour where the backdrop must show, the PNG pictures and the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <utility>

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);

class Bitmap {
 public:
  explicit Bitmap(const wchar_t* name)
      : handle_(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP,
                                                0, 0, LR_CREATEDIBSECTION))) {}
  ~Bitmap() {
    if (handle_) DeleteObject(handle_);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  BITMAP info() const {
    BITMAP bm{};
    GetObjectW(handle_, sizeof bm, &bm);
    return bm;
  }
  COLORREF pixel(int x, int y) const {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle_);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
  }

 private:
  HBITMAP handle_;
};

struct Family {
  int family, width, height, states;
};

// Families, their sizes and how many states ("01" … ) each has.
constexpr Family kFamilies[] = {
    {1, 189, 29, 3},  {2, 189, 29, 3},  {3, 189, 29, 3},  {4, 189, 29, 3},  {5, 210, 29, 3},
    {6, 210, 29, 3},  {7, 210, 29, 3},  {8, 210, 29, 3},  {9, 140, 19, 3},  {10, 140, 19, 2},
    {11, 140, 19, 2}, {12, 140, 19, 2}, {13, 57, 27, 2},  {14, 171, 30, 2}, {15, 171, 94, 1},
    {16, 62, 32, 3},  {17, 64, 37, 3},  {18, 91, 50, 3},  {19, 25, 23, 3},  {20, 25, 23, 3},
    {21, 75, 73, 2},  {22, 58, 54, 2},  {23, 52, 53, 2},
};

TEST(SkinResources, EverySkinBitmapLoadsByItsLowerCaseNameAtItsSize) {
  for (const Family& f : kFamilies) {
    for (int state = 1; state <= f.states; ++state) {
      wchar_t name[16];
      swprintf(name, 16, L"ojb%02d%02d", f.family, state);
      Bitmap bmp(name);
      ASSERT_TRUE(bmp.loaded()) << "ojb" << f.family << " state " << state;
      BITMAP bm = bmp.info();
      EXPECT_EQ(bm.bmWidth, f.width) << "family " << f.family << " state " << state;
      EXPECT_EQ(bm.bmHeight, f.height) << "family " << f.family << " state " << state;
      EXPECT_EQ(bm.bmBitsPixel, 24) << "family " << f.family << " state " << state;
    }
  }
}

TEST(SkinResources, WindowAndPanelBackgroundsHaveTheirWindowSizes) {
  const struct {
    const wchar_t* name;
    int width, height;
  } cases[] = {{L"BACK_MAIN", 517, 290},   {L"PANEL_START", 448, 186}, {L"PANEL_NET", 448, 186},
               {L"panel_rules", 287, 147}, {L"BACK_MENU", 150, 300}};
  for (const auto& c : cases) {
    Bitmap bmp(c.name);
    ASSERT_TRUE(bmp.loaded()) << c.name;
    BITMAP bm = bmp.info();
    EXPECT_EQ(bm.bmWidth, c.width) << c.name;
    EXPECT_EQ(bm.bmHeight, c.height) << c.name;
    EXPECT_EQ(bm.bmBitsPixel, 24) << c.name;
  }
}

// Spots where a picture must or must not be see-through, in the picture's own
// pixels (top-down, as the window shows it).
TEST(SkinResources, KeyColourLiesWhereTheBackdropMustShowThrough) {
  const struct {
    const wchar_t* name;
    int x, y;
    bool key;
  } cases[] = {
      // Rules panel: holes over the rule fields (HP 1, round 8, players), art between them.
      {L"PANEL_RULES", 28, 10, true},
      {L"PANEL_RULES", 146, 106, true},
      {L"PANEL_RULES", 28, 138, true},
      {L"PANEL_RULES", 28, 26, false},
      {L"PANEL_RULES", 206, 106, false},
      // Settings window: see-through onto the rules page and right of the body.
      {L"BACK_MAIN", 200, 120, true},
      {L"BACK_MAIN", 480, 100, true},
      {L"BACK_MAIN", 100, 10, false},
      {L"BACK_MAIN", 3, 120, false},
      {L"BACK_MAIN", 100, 260, false},
      {L"BACK_MAIN", 200, 235, false},
      {L"PANEL_START", 200, 100, false},
      {L"BACK_MENU", 75, 150, true},
      // Start button: its corner beyond 主体's edge shows the backdrop.
      {L"OJB1801", 90, 49, true},
      {L"OJB1801", 44, 22, false},
      // Menu items are round.
      {L"OJB2101", 0, 0, true},
      {L"OJB2101", 37, 36, false},
  };
  for (const auto& c : cases) {
    Bitmap bmp(c.name);
    ASSERT_TRUE(bmp.loaded()) << c.name;
    EXPECT_EQ(bmp.pixel(c.x, c.y) == kKey, c.key) << c.name << " at " << c.x << "," << c.y;
  }
}

std::pair<const uint8_t*, DWORD> ResourceBytes(const wchar_t* type, const wchar_t* name) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(self, name, type);
  if (!info) return {nullptr, 0};
  HGLOBAL data = LoadResource(self, info);
  return {static_cast<const uint8_t*>(LockResource(data)), SizeofResource(self, info)};
}

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

TEST(SkinResources, PngPicturesAreEightBitRgbaAtTheirWindowSizes) {
  const struct {
    int id;
    uint32_t width, height;
  } cases[] = {{101, 800, 600}, {102, 150, 300}, {103, 340, 350}};
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  for (const auto& c : cases) {
    auto [bytes, size] = ResourceBytes(L"PNG", MAKEINTRESOURCEW(c.id));
    ASSERT_NE(bytes, nullptr) << "PNG " << c.id;
    ASSERT_GT(size, 33u) << "PNG " << c.id;
    EXPECT_EQ(memcmp(bytes, signature, 8), 0) << "PNG " << c.id;
    EXPECT_EQ(memcmp(bytes + 12, "IHDR", 4), 0) << "PNG " << c.id;
    EXPECT_EQ(BigEndian32(bytes + 16), c.width) << "PNG " << c.id;
    EXPECT_EQ(BigEndian32(bytes + 20), c.height) << "PNG " << c.id;
    EXPECT_EQ(bytes[24], 8) << "PNG " << c.id << " bit depth";
    EXPECT_EQ(bytes[25], 6) << "PNG " << c.id << " colour type (RGBA)";
  }
}

TEST(SkinResources, IconGroupOneHoldsA32AndA64PixelImageIn24BitColour) {
  auto [bytes, size] = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
  ASSERT_NE(bytes, nullptr);
  ASSERT_GE(size, 6u);
  const int count = bytes[4] | bytes[5] << 8;
  ASSERT_EQ(size, 6u + 14u * count);
  std::set<std::pair<int, int>> images;  // (size, bits per pixel)
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = bytes + 6 + 14 * i;
    images.insert({e[0] == 0 ? 256 : e[0], e[6] | e[7] << 8});
  }
  EXPECT_EQ(images, (std::set<std::pair<int, int>>{{32, 24}, {64, 24}}));

  for (int px : {32, 64}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, px, px, 0));
    ASSERT_NE(icon, nullptr) << px;
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(icon, &ii));
    BITMAP bm{};
    GetObjectW(ii.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, px);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(icon);
  }
}

}  // namespace
