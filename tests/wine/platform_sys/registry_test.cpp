#include "platform/win32/registry.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/api/errors.h"
#include "platform/win32/system.h"
#include "sys_test_support.h"

namespace tovren::win32::test {
namespace {

// view: the 32-bit view by default, as the 32-bit game reads, whatever this test's
// bitness; KEY_WOW64_64KEY to look from the 64-bit side.
std::optional<std::wstring> Read(HKEY root, const wchar_t* key, const wchar_t* value,
                                 REGSAM view = KEY_WOW64_32KEY) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return std::nullopt;
  wchar_t buf[512];
  DWORD size = sizeof buf;
  DWORD type = 0;
  LONG rc = RegGetValueW(opened, nullptr, value, RRF_RT_ANY, &type, buf, &size);
  RegCloseKey(opened);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  return std::wstring(buf);
}

class SysRegistry : public ::testing::Test {
 protected:
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TovrenTest");
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
      HKEY software = nullptr;
      if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | view, &software) == ERROR_SUCCESS) {
        RegDeleteTreeW(software, L"TovrenTest");
        RegCloseKey(software);
      }
    }
  }
  Win32Registry registry;
};

TEST_F(SysRegistry, WritesUnderCurrentUserCreatingKeys) {
  registry.WriteString("HKEY_CURRENT_USER\\Software\\TovrenTest\\深\\Path", "C:\\游戏\\Tovren");
  EXPECT_EQ(Read(HKEY_CURRENT_USER, L"Software\\TovrenTest\\深", L"Path"), L"C:\\游戏\\Tovren");
  registry.WriteString("HKCU\\Software\\TovrenTest\\深\\Path", "");
  EXPECT_EQ(Read(HKEY_CURRENT_USER, L"Software\\TovrenTest\\深", L"Path"), L"");
  // A trailing backslash names the key's default value.
  registry.WriteString("hkey_current_user\\Software\\TovrenTest\\", "default");
  EXPECT_EQ(Read(HKEY_CURRENT_USER, L"Software\\TovrenTest", nullptr), L"default");
}

TEST_F(SysRegistry, LocalMachineSoftwareIsTheWow6432NodeKeyOfA32BitProgram) {
  if (!Win32System().Is64BitWindows()) GTEST_SKIP() << "a 32-bit Windows has one registry view";
  registry.WriteString("HKEY_LOCAL_MACHINE\\Software\\TovrenTest\\Exe", "Tovren.exe");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"Software\\TovrenTest", L"Exe"), L"Tovren.exe");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\TovrenTest", L"Exe"), L"Tovren.exe");
  // Seen from the 64-bit side, where the game's 64-bit readers would look.
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\TovrenTest", L"Exe", KEY_WOW64_64KEY),
            L"Tovren.exe");
}

// The Wow6432Node name is opened from the 64-bit side, which must still write exactly the
// key of that name: the 32-bit view's key on 64-bit Windows, a plain subkey on 32-bit
// Windows (which ignores the flag), and never a second Wow6432Node nested inside.
TEST_F(SysRegistry, AWow6432NodeNameReachesTheKeyOfThatName) {
  registry.WriteString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\TovrenTest\\Exe", "Tovren.exe");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\TovrenTest", L"Exe", KEY_WOW64_64KEY),
            L"Tovren.exe");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\Wow6432Node\\TovrenTest", L"Exe",
                 KEY_WOW64_64KEY),
            std::nullopt);
  const bool wow64 = Win32System().Is64BitWindows();
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, L"Software\\TovrenTest", L"Exe").has_value(), wow64)
      << (wow64 ? "64-bit Windows: the game's own view" : "32-bit Windows: only the subkey");
  HKEY software = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &software) ==
      ERROR_SUCCESS) {
    RegDeleteTreeW(software, L"Wow6432Node\\TovrenTest");
    RegCloseKey(software);
  }
}

// Independent of the answer under test: the processor the system itself runs on.
TEST(SysSystem, Is64BitWindowsExactlyOnA64BitWindows) {
  SYSTEM_INFO native{};
  GetNativeSystemInfo(&native);
  const bool bits64 = native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                      native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64;
  EXPECT_EQ(Win32System().Is64BitWindows(), bits64) << "architecture " << native.wProcessorArchitecture;
}

TEST_F(SysRegistry, UnknownRootsAndMalformedPathsFail) {
  for (const char* path : {"HKEY_NOWHERE\\Software\\TovrenTest\\X", "Software\\TovrenTest\\X", "HKCU\\X", "HKCU"}) {
    SCOPED_TRACE(path);
    try {
      registry.WriteString(path, "x");
      ADD_FAILURE() << "written";
    } catch (const platform::OsError& e) {
      EXPECT_EQ(e.code(), std::uint32_t{ERROR_INVALID_PARAMETER});
    }
  }
}

}  // namespace
}  // namespace tovren::win32::test
