// The settings file saved and loaded through the real file functions: its bytes are GBK
// whatever the system's code page, and a hidden file stays loadable and hidden.
#include "core/settings_file.h"

#include <gtest/gtest.h>

#include "platform/win32/files.h"
#include "sys_test_support.h"

namespace tovren::win32::test {
namespace {

// The launcher's module path is the one thing the test chooses: a launcher in a scratch
// game folder with a Chinese name.
class LauncherIn : public platform::System {
 public:
  explicit LauncherIn(std::string folder) : path_(std::move(folder) + "\\TovrenLauncher.exe") {}
  std::string ModulePath() override { return path_; }
  bool Is64BitWindows() override { return true; }  // the settings file never asks
  std::string CurrentFolder() override { return path_.substr(0, path_.rfind('\\')); }

 private:
  std::string path_;
};

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

TEST(SysSettingsFile, SavedAsGbkAndLoadedBack) {
  ScratchFolder game;
  LauncherIn system(game.Path());
  Win32Files files;
  core::Settings saved;
  saved.版本编号.Set("2");
  saved.复选框辅助[0].Set("1");
  saved.路径.Set("C:\\游戏\\平台.exe");
  ASSERT_FALSE(core::SaveSettings(saved, files, system));

  const std::string bytes = RawRead(game.Path("zarnu\\zarnu.res"));
  EXPECT_TRUE(Contains(bytes, "[\xb0\xe6\xb1\xbe]\r\n\xb1\xe0\xba\xc5=2\r\n")) << "[版本] 编号=2";
  EXPECT_TRUE(Contains(bytes, "\xb8\xb4\xd1\xa1" "1=1\r\n")) << "复选1=1";
  EXPECT_TRUE(Contains(bytes, "\xc2\xb7\xbe\xb6=C:\\\xd3\xce\xcf\xb7\\\xc6\xbd\xcc\xa8.exe\r\n")) << "路径";
  EXPECT_TRUE(Contains(bytes, "[\xb9\xd8\xd3\xda]\r\n\xd7\xa2\xd2\xe2=\xb1\xbe\xce\xc4\xbc\xfe")) << "notice";
  EXPECT_FALSE(Contains(bytes, "\xe7\x89\x88")) << "UTF-8 of 版 in the file";

  core::Settings loaded;
  ASSERT_FALSE(core::LoadSettings(loaded, files, system));
  auto a = core::SettingFields(saved);
  auto b = core::SettingFields(loaded);
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(b[i]->Text(), a[i]->Text()) << i;
}

TEST(SysSettingsFile, AHiddenSettingsFileIsSavedOverAndStaysHidden) {
  ScratchFolder game;
  LauncherIn system(game.Path());
  Win32Files files;
  core::Settings settings;
  ASSERT_FALSE(core::SaveSettings(settings, files, system));
  const std::string path = game.Path("zarnu\\zarnu.res");
  ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

  settings.人数.Set("8");
  ASSERT_FALSE(core::SaveSettings(settings, files, system));
  EXPECT_EQ(RawAttributes(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
  EXPECT_EQ(RawRead(path + ".tmp"), "<missing>");
  core::Settings loaded;
  ASSERT_FALSE(core::LoadSettings(loaded, files, system));
  EXPECT_EQ(loaded.人数.Text(), "8");
}

}  // namespace
}  // namespace tovren::win32::test
