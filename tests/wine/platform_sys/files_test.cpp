#include "platform/win32/files.h"

#include <gtest/gtest.h>

#include "platform/api/errors.h"
#include "platform/win32/system.h"
#include "sys_test_support.h"

namespace tovren::win32::test {
namespace {

using namespace std::string_literals;

// The error code an operation fails with; 0 when it does not fail.
template <class F>
std::uint32_t ErrorOf(F&& f) {
  try {
    f();
  } catch (const platform::OsError& e) {
    return e.code() == 0 ? 0xFFFFFFFF : e.code();
  }
  return 0;
}

class SysFiles : public ::testing::Test {
 protected:
  ScratchFolder dir;
  Win32Files files;
};

TEST_F(SysFiles, ChineseFolderAndFileNamesRoundTrip) {
  files.CreateFolder(dir.Path("版本目录"));
  const std::string file = dir.Path("版本目录\\复选1.txt");
  const std::string content = "内容\x00\xFF" "end"s;  // a zero byte and a byte no text has
  files.WriteWhole(file, B(content));

  // The names on disk are exactly the wide names, not a code-page rendering of them.
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(Wide(dir.Path("版本目录\\*.txt")).c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  EXPECT_EQ(std::wstring(found.cFileName), L"复选1.txt");

  EXPECT_EQ(files.ReadAll(file), B(content));
  auto info = files.Stat(file);
  ASSERT_TRUE(info);
  EXPECT_FALSE(info->directory);
  EXPECT_EQ(info->size, content.size());
  auto folder = files.Stat(dir.Path("版本目录"));
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->directory);
  EXPECT_FALSE(files.IsNormalFile(dir.Path("版本目录")));
  EXPECT_TRUE(files.IsNormalFile(file));
}

TEST_F(SysFiles, WriteAtChangesOnlyTheGivenBytes) {
  const std::string file = dir.Path("Tovren.exe");
  ASSERT_TRUE(RawWrite(file, "0123456789"));
  files.WriteAt(file, 3, B("ab"));
  EXPECT_EQ(RawRead(file), "012ab56789");
  files.WriteAt(file, 9, B("Z"));
  EXPECT_EQ(RawRead(file), "012ab5678Z");
  files.WriteAt(file, 0, {});
  EXPECT_EQ(RawRead(file), "012ab5678Z");
}

TEST_F(SysFiles, WriteAtReachesHiddenFilesAndNeverCreatesOne) {
  const std::string hidden = dir.Path("hidden.res");
  ASSERT_TRUE(RawWrite(hidden, "aaaa"));
  ASSERT_TRUE(SetFileAttributesW(Wide(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  files.WriteAt(hidden, 1, B("b"));
  EXPECT_EQ(RawRead(hidden), "abaa");

  const std::string missing = dir.Path("缺少.exe");
  EXPECT_EQ(ErrorOf([&] { files.WriteAt(missing, 0, B("x")); }), platform::kErrorFileNotFound);
  EXPECT_EQ(RawRead(missing), "<missing>");
}

TEST_F(SysFiles, WriteWholeCreatesAndCutsLongerFiles) {
  const std::string file = dir.Path("vsn.exe");
  files.WriteWhole(file, B("long old content"));
  EXPECT_EQ(RawRead(file), "long old content");
  files.WriteWhole(file, B("new"));
  EXPECT_EQ(RawRead(file), "new");
  files.WriteWhole(file, {});
  EXPECT_EQ(RawRead(file), "");
}

TEST_F(SysFiles, WriteWholeOverHiddenOrSystemFileReplacesItAndKeepsItsAttributes) {
  for (DWORD bits : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                     DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
    SCOPED_TRACE(bits);
    const std::string file = dir.Path("soe" + std::to_string(bits) + ".exe");
    ASSERT_TRUE(RawWrite(file, "old old old"));
    ASSERT_TRUE(SetFileAttributesW(Wide(file).c_str(), bits));
    files.WriteWhole(file, B("new"));
    EXPECT_EQ(RawRead(file), "new");
    EXPECT_EQ(RawAttributes(file) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), bits);
  }
}

TEST_F(SysFiles, WriteWholeFailsClearly) {
  EXPECT_EQ(ErrorOf([&] { files.WriteWhole(dir.Path("无此目录\\a.txt"), B("x")); }),
            platform::kErrorPathNotFound);
  files.CreateFolder(dir.Path("folder"));
  EXPECT_NE(ErrorOf([&] { files.WriteWhole(dir.Path("folder"), B("x")); }), 0u);
}

TEST_F(SysFiles, ReadOnlyFilesAreRefusedAndKept) {
  const std::string readOnly = dir.Path("只读.txt");
  ASSERT_TRUE(RawWrite(readOnly, "keep"));
  ASSERT_TRUE(SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string source = dir.Path("new.txt");
  ASSERT_TRUE(RawWrite(source, "new"));
  EXPECT_EQ(ErrorOf([&] { files.WriteAt(readOnly, 0, B("x")); }), platform::kErrorAccessDenied);
  EXPECT_EQ(ErrorOf([&] { files.WriteWhole(readOnly, B("x")); }), platform::kErrorAccessDenied);
  EXPECT_EQ(ErrorOf([&] { files.Replace(source, readOnly); }), platform::kErrorAccessDenied);
  EXPECT_EQ(ErrorOf([&] { files.Delete(readOnly); }), platform::kErrorAccessDenied);
  EXPECT_EQ(RawRead(readOnly), "keep");
  EXPECT_EQ(RawRead(source), "new");
}

TEST_F(SysFiles, ReplaceOverExistingAndMissingDestination) {
  const std::string source = dir.Path("zarnu.res.new");
  const std::string dest = dir.Path("zarnu.res");
  ASSERT_TRUE(RawWrite(source, "first"));
  files.Replace(source, dest);
  EXPECT_EQ(RawRead(dest), "first");
  EXPECT_EQ(RawRead(source), "<missing>");

  ASSERT_TRUE(RawWrite(source, "second"));
  files.Replace(source, dest);
  EXPECT_EQ(RawRead(dest), "second");
  EXPECT_EQ(RawRead(source), "<missing>");
}

TEST_F(SysFiles, ReplaceOverHiddenOrSystemDestinationKeepsItsAttributes) {
  for (DWORD bits : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM},
                     DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
    SCOPED_TRACE(bits);
    const std::string source = dir.Path("设置.new");
    const std::string dest = dir.Path("设置" + std::to_string(bits) + ".res");
    ASSERT_TRUE(RawWrite(source, "new"));
    ASSERT_TRUE(RawWrite(dest, "old"));
    ASSERT_TRUE(SetFileAttributesW(Wide(dest).c_str(), bits));
    files.Replace(source, dest);
    EXPECT_EQ(RawRead(dest), "new");
    EXPECT_EQ(RawRead(source), "<missing>");
    EXPECT_EQ(RawAttributes(dest) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), bits);
  }
}

TEST_F(SysFiles, FailedReplaceLeavesTheDestinationAsItWas) {
  const std::string dest = dir.Path("zarnu.res");
  ASSERT_TRUE(RawWrite(dest, "old"));
  ASSERT_TRUE(SetFileAttributesW(Wide(dest).c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(ErrorOf([&] { files.Replace(dir.Path("no-such.new"), dest); }), platform::kErrorFileNotFound);
  EXPECT_EQ(RawRead(dest), "old");
  EXPECT_EQ(RawAttributes(dest) & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN});
}

TEST_F(SysFiles, StatSeesHiddenSystemAndReadOnly) {
  const std::string file = dir.Path("Tovren.res");
  ASSERT_TRUE(RawWrite(file, "12345"));
  struct Case {
    DWORD bits;
    bool hidden, system, readOnly, normal;
  } cases[] = {
      {FILE_ATTRIBUTE_NORMAL, false, false, false, true},
      {FILE_ATTRIBUTE_HIDDEN, true, false, false, false},
      {FILE_ATTRIBUTE_SYSTEM, false, true, false, false},
      {FILE_ATTRIBUTE_READONLY, false, false, true, true},
      {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY, true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    ASSERT_TRUE(SetFileAttributesW(Wide(file).c_str(), c.bits));
    auto info = files.Stat(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->hidden, c.hidden);
    EXPECT_EQ(info->system, c.system);
    EXPECT_EQ(info->readOnly, c.readOnly);
    EXPECT_EQ(info->size, 5u);
    EXPECT_EQ(files.IsNormalFile(file), c.normal);
  }
  EXPECT_FALSE(files.Stat(dir.Path("missing.res")));
  EXPECT_FALSE(files.Stat(dir.Path("无此目录\\missing.res")));
  EXPECT_FALSE(files.Stat(""));
}

TEST_F(SysFiles, FolderDeleteAndReadFailures) {
  const std::string folder = dir.Path("zarnu");
  files.CreateFolder(folder);
  EXPECT_EQ(ErrorOf([&] { files.CreateFolder(folder); }), std::uint32_t{ERROR_ALREADY_EXISTS});

  const std::string file = dir.Path("zarnu\\Zarnu_IP.exe");
  ASSERT_TRUE(RawWrite(file, "x"));
  ASSERT_TRUE(SetFileAttributesW(Wide(file).c_str(), FILE_ATTRIBUTE_HIDDEN));
  files.Delete(file);
  EXPECT_EQ(RawRead(file), "<missing>");
  EXPECT_EQ(ErrorOf([&] { files.Delete(file); }), platform::kErrorFileNotFound);
  EXPECT_EQ(ErrorOf([&] { files.ReadAll(file); }), platform::kErrorFileNotFound);
}

TEST(SysSystem, ModulePathIsThisProgram) {
  Win32System system;
  std::string path = system.ModulePath();
  const std::string name = "platform_sys_tests.exe";
  ASSERT_GT(path.size(), name.size());
  EXPECT_EQ(path.substr(path.size() - name.size()), name);
  EXPECT_EQ(path[1], ':');
  EXPECT_TRUE(Win32Files().IsNormalFile(path));
}

}  // namespace
}  // namespace tovren::win32::test
