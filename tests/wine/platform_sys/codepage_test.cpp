#include "platform/api/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace tovren::platform {
namespace {

using namespace std::string_literals;

// The settings file's notice entry, as Chinese systems write it.
const std::string kNotice = "本文件由程序自动生成，请勿手动修改！否则可能会使程序无法正常运行！";
const std::string kNoticeGbk =
    "\xb1\xbe\xce\xc4\xbc\xfe\xd3\xc9\xb3\xcc\xd0\xf2\xd7\xd4\xb6\xaf\xc9\xfa\xb3\xc9\xa3\xac\xc7\xeb"
    "\xce\xf0\xca\xd6\xb6\xaf\xd0\xde\xb8\xc4\xa3\xa1\xb7\xf1\xd4\xf2\xbf\xc9\xc4\xdc\xbb\xe1\xca\xb9"
    "\xb3\xcc\xd0\xf2\xce\xde\xb7\xa8\xd5\xfd\xb3\xa3\xd4\xcb\xd0\xd0\xa3\xa1";

TEST(SysCodePage, GbkAndUtf8AreByteExactBothWays) {
  struct Case {
    std::string utf8, gbk;
  } cases[] = {
      {"版本", "\xb0\xe6\xb1\xbe"},
      {"复选1", "\xb8\xb4\xd1\xa1" "1"},
      {kNotice, kNoticeGbk},
      {"FullScreen 0\r\n", "FullScreen 0\r\n"},
      {"a\0b"s, "a\0b"s},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk);
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
  }
}

TEST(SysCodePage, WhatGbkCannotHoldBecomesOneQuestionMarkEach) {
  EXPECT_EQ(Utf8ToGbk("版가本"), "\xb0\xe6?\xb1\xbe");     // Hangul is not in GBK
  EXPECT_EQ(Utf8ToGbk("x\xF0\x9F\x98\x80y"), "x?y");        // one character outside the BMP
  EXPECT_EQ(Utf8ToGbk("x\xE4\xB8y"), "x?y");                // cut-off UTF-8 sequence
  EXPECT_EQ(Utf8ToGbk("ä"), "?");                          // no look-alike "a"
}

TEST(SysCodePage, BadGbkBecomesReplacementCharacters) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(GbkToUtf8("\xb0\xe6\xb1"), "版" + fffd);           // lead byte without its trail
  EXPECT_EQ(GbkToUtf8("A\x81 B"), "A" + fffd + " B");         // trail out of range: kept as text
  EXPECT_EQ(GbkToUtf8("\xff\xb0\xe6"), fffd + "版");
}

}  // namespace
}  // namespace tovren::platform
