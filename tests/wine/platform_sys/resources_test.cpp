#include "platform/win32/resources.h"

#include <gtest/gtest.h>

namespace tovren::win32::test {
namespace {

using platform::Bytes;

TEST(SysResources, LoadsNumericAndNamedResourcesExactly) {
  Win32Resources res;
  // Words are little-endian in the resource script: 0x0100 is 00 01.
  EXPECT_EQ(res.Load("VSN", "1"), (Bytes{0x00, 0x01, 0x00, 0xFF, 'A', 'B'}));
  EXPECT_EQ(res.Load("PNG", "101"), (Bytes{'P', 'N', 'G', '1', '0', '1'}));
  EXPECT_EQ(res.Load("EXE", "ZARNU_IP"), (Bytes{'i', 'p', '-', 't', 'o', 'o', 'l'}));
  EXPECT_EQ(res.Load("exe", "Zarnu_Ip"), res.Load("EXE", "ZARNU_IP"));
}

TEST(SysResources, MissingResourcesAreNothing) {
  Win32Resources res;
  EXPECT_FALSE(res.Load("VSN", "2"));
  EXPECT_FALSE(res.Load("VSN", "01x"));
  EXPECT_FALSE(res.Load("SOE", "ON"));
  EXPECT_FALSE(res.Load("PNG", "70000"));
  EXPECT_FALSE(res.Load("", "1"));
  EXPECT_FALSE(res.Load("VSN", ""));
}

TEST(SysResources, HasBitmapIgnoresCase) {
  Win32Resources res;
  EXPECT_TRUE(res.HasBitmap("OJB0101"));
  EXPECT_TRUE(res.HasBitmap("ojb0101"));
  EXPECT_FALSE(res.HasBitmap("ojb0102"));
  EXPECT_FALSE(res.HasBitmap("ZARNU_IP"));  // a resource, but not a bitmap
  EXPECT_FALSE(res.HasBitmap(""));
}

}  // namespace
}  // namespace tovren::win32::test
