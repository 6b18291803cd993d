// The whole resource set of the launcher: the payload packs carried byte for
// byte, the manifest and the version block with its Chinese text.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string ResourceText(const wchar_t* type, const wchar_t* name) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(self, name, type);
  if (!info) return {};
  const char* p = static_cast<const char*>(LockResource(LoadResource(self, info)));
  return std::string(p, SizeofResource(self, info));
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PayloadResources, EveryPackIsCarriedByteForByte) {
  const struct {
    const wchar_t* type;
    const wchar_t* name;
    const char* file;
  } cases[] = {
      {L"VSN", MAKEINTRESOURCEW(1), "VSN1.exe"},  {L"VSN", MAKEINTRESOURCEW(2), "VSN2.exe"},
      {L"VSN", MAKEINTRESOURCEW(3), "VSN3.exe"},  {L"SOE", L"ON", "SOE_ON.exe"},
      {L"SOE", L"off", "SOE_OFF.exe"},            {L"EXE", L"CONFIG", "CONFIG.exe"},
      {L"exe", L"ZARNU_IP", "ZARNU_IP.exe"},
  };
  for (const auto& c : cases) {
    const std::string file = FileBytes(std::string(TOVREN_TEST_PAYLOAD_DIR) + "/" + c.file);
    ASSERT_FALSE(file.empty()) << c.file << " could not be read";
    const std::string carried = ResourceText(c.type, c.name);
    EXPECT_EQ(carried.size(), file.size()) << c.file;
    EXPECT_TRUE(carried == file) << c.file;
  }
}

TEST(PayloadResources, ManifestAsksForAdministratorAndCommonControlsWithoutDpiAwareness) {
  const std::string manifest = ResourceText(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  for (const char* os : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                         "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
    EXPECT_NE(manifest.find(os), std::string::npos) << os;
  EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
  EXPECT_EQ(manifest.find("dpiAwareness"), std::string::npos);
}

TEST(PayloadResources, VersionBlockKeepsItsChineseDescription) {
  wchar_t self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(self, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(self, 0, size, block.data()));
  wchar_t* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\FileDescription",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(std::wstring(text), L"Tovren 游戏启动器");
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\OriginalFilename",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(std::wstring(text), L"TovrenLauncher.exe");
}

}  // namespace
