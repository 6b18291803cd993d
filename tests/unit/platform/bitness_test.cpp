#include "platform/win32/bitness.h"

#include <gtest/gtest.h>

namespace tovren::win32 {
namespace {

// Every name the start press writes, and the edge cases of the Wow6432Node prefix: only
// the Wow6432Node key itself is addressed from the 64-bit side; everything else goes to the
// 32-bit view the game reads, so either build leaves the registry a 32-bit launcher leaves.
TEST(RegistryView, OnlyTheWow6432NodeNameIsWrittenFromThe64BitSide) {
  const struct {
    const char* subKey;
    RegistryView view;
  } cases[] = {
      {"Software\\Corvane\\Tovren", RegistryView::k32Bit},
      {"SOFTWARE\\Wow6432Node\\Corvane\\Tovren", RegistryView::k64Bit},
      {"software\\wow6432node", RegistryView::k64Bit},
      {"Software\\Wow6432NodeX\\Corvane", RegistryView::k32Bit},
      {"Software\\Corvane\\Wow6432Node", RegistryView::k32Bit},
      {"Software", RegistryView::k32Bit},
      {"", RegistryView::k32Bit},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WriteViewOf(c.subKey), c.view) << c.subKey;
  }
}

TEST(WindowsBitness, A64BitProgramIsAlwaysOnA64BitWindowsA32BitOneOnlyThroughWow64) {
  EXPECT_TRUE(WindowsIs64Bit(true, false));   // the 64-bit build: IsWow64Process says no
  EXPECT_TRUE(WindowsIs64Bit(true, true));
  EXPECT_TRUE(WindowsIs64Bit(false, true));   // the 32-bit build on a 64-bit Windows
  EXPECT_FALSE(WindowsIs64Bit(false, false)); // on a 32-bit Windows, or unknown
}

}  // namespace
}  // namespace tovren::win32
