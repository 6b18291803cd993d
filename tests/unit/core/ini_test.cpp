// The INI engine on raw bytes: lookups, writes, and input it must survive.
#include "core/ini.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tovren::core {
namespace {

using namespace std::string_literals;

struct LookupCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::optional<std::string> expected;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class IniLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(IniLookup, FindsWhatTheProfileReaderWould) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(IniDocument::Parse(c.file).Get(c.section, c.key), c.expected);
}

// GBK bytes: B0 5D and B0 41 / B0 61 are double-byte characters whose trail bytes are ']'
// and the letters A and a.
INSTANTIATE_TEST_SUITE_P(
    Table, IniLookup,
    testing::Values(
        LookupCase{"Exact", "[Sec]\r\nKey=v\r\n", "Sec", "Key", "v"},
        LookupCase{"IgnoresAsciiCase", "[Sec]\r\nKey=v\r\n", "sEC", "kEY", "v"},
        LookupCase{"BlanksAroundNamesAndEquals", "  [ Sec ]  \r\n \t Key \t=  v w \t\r\n", "Sec", "Key", "v w"},
        LookupCase{"BlanksInTheQuery", "[Sec]\r\nKey=v\r\n", " Sec ", "\tKey ", "v"},
        LookupCase{"LfLineEnds", "[Sec]\nKey=v\n", "Sec", "Key", "v"},
        LookupCase{"LastLineWithoutLineEnd", "[Sec]\r\nKey=v", "Sec", "Key", "v"},
        LookupCase{"EmptyValue", "[Sec]\r\nKey=\r\n", "Sec", "Key", ""},
        LookupCase{"ValueWithEquals", "[Sec]\r\nKey=a=b\r\n", "Sec", "Key", "a=b"},
        LookupCase{"ValueKeepsNul", "[Sec]\r\nKey=x\0y\r\n"s, "Sec", "Key", "x\0y"s},
        LookupCase{"MissingSection", "[Sec]\r\nKey=v\r\n", "Other", "Key", std::nullopt},
        LookupCase{"MissingKey", "[Sec]\r\nKey=v\r\n", "Sec", "Other", std::nullopt},
        LookupCase{"KeyOfAnotherSection", "[A]\r\nx=1\r\n[B]\r\nKey=v\r\n", "A", "Key", std::nullopt},
        LookupCase{"KeyBeforeAnySection", "Key=v\r\n[Sec]\r\n", "Sec", "Key", std::nullopt},
        LookupCase{"FirstDuplicateKeyWins", "[Sec]\r\nKey=1\r\nKEY=2\r\n", "Sec", "Key", "1"},
        LookupCase{"FirstDuplicateSectionWins", "[Sec]\r\nKey=1\r\n[B]\r\n[sec]\r\nKey=2\r\nOnly=3\r\n", "Sec", "Key", "1"},
        LookupCase{"LaterDuplicateSectionUnseen", "[Sec]\r\nKey=1\r\n[sec]\r\nOnly=3\r\n", "Sec", "Only", std::nullopt},
        LookupCase{"LineWithoutEqualsIsNoKey", "[Sec]\r\nKey\r\nKey=2\r\n", "Sec", "Key", "2"},
        LookupCase{"CommentIsNoKey", "[Sec]\r\n;Key=1\r\n", "Sec", ";Key", std::nullopt},
        LookupCase{"UnclosedHeaderIsNoSection", "[Sec\r\nKey=v\r\n", "Sec", "Key", std::nullopt},
        LookupCase{"TextAfterHeaderIgnored", "[Sec] ; note\r\nKey=v\r\n", "Sec", "Key", "v"},
        LookupCase{"TrailByteBracketInSection", "[\xB0\x5D]\r\nKey=v\r\n", "\xB0\x5D", "Key", "v"},
        LookupCase{"TrailByteLettersCompareExactly", "[\xB0\x41]\r\nKey=v\r\n", "\xB0\x61", "Key", std::nullopt},
        LookupCase{"TrailByteLettersSameChar", "[\xB0\x41]\r\nKey=v\r\n", "\xB0\x41", "key", "v"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniLookup, ValueIsCutTo254BytesNeverInsideACharacter) {
  struct Case {
    std::string value;
    std::string expected;
  } cases[] = {
      {std::string(300, 'x'), std::string(254, 'x')},
      {std::string(254, 'x'), std::string(254, 'x')},
      // A double-byte character across the limit goes whole.
      {std::string(253, 'x') + "\xC2\xB7" + "yy", std::string(253, 'x')},
      {std::string(252, 'x') + "\xC2\xB7" + "yy", std::string(252, 'x') + "\xC2\xB7"},
  };
  for (const Case& c : cases) {
    auto got = IniDocument::Parse("[S]\r\nk=" + c.value + "\r\n").Get("S", "k");
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, c.expected) << "value of " << c.value.size() << " bytes";
  }
}

struct Op {
  std::string section;
  std::string key;
  std::optional<std::string> value;
};

struct WriteCase {
  const char* name;
  std::string before;
  std::vector<Op> ops;
  std::string after;
  bool changed;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class IniWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, WritesAsTheProfileWriterWould) {
  const WriteCase& c = GetParam();
  IniDocument doc = IniDocument::Parse(c.before);
  for (const Op& op : c.ops) {
    doc.Set(op.section, op.key,
            op.value ? std::optional<std::string_view>(*op.value) : std::nullopt);
  }
  EXPECT_EQ(doc.Serialize(), c.after);
  EXPECT_EQ(doc.Changed(), c.changed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniWrite,
    testing::Values(
        WriteCase{"NewFile", "", {{"A", "k", "1"}, {"B", "j", "2"}, {"A", "m", "3"}},
                  "[A]\r\nk=1\r\nm=3\r\n[B]\r\nj=2\r\n", true},
        WriteCase{"ReplaceKeepsOrderAndFileSpelling", "[A]\r\nx=1\r\nKey=2\r\ny=3\r\n", {{"a", "KEY", "9"}},
                  "[A]\r\nx=1\r\nKey=9\r\ny=3\r\n", true},
        WriteCase{"NewKeyEndsItsSectionBeforeBlankLines", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", {{"A", "z", "3"}},
                  "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n", true},
        WriteCase{"NewKeyIntoEmptySection", "[A]\r\n[B]\r\n", {{"A", "z", "3"}}, "[A]\r\nz=3\r\n[B]\r\n", true},
        WriteCase{"NewSectionAtTheEnd", "[A]\r\nx=1", {{"B", "y", "2"}}, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n", true},
        WriteCase{"NullDeletesTheKey", "[A]\r\nx=1\r\nk=2\r\n", {{"A", "K", std::nullopt}}, "[A]\r\nx=1\r\n", true},
        WriteCase{"NullDeletesOnlyTheFirstDuplicate", "[A]\r\nk=1\r\nk=2\r\n", {{"A", "k", std::nullopt}},
                  "[A]\r\nk=2\r\n", true},
        WriteCase{"NullOnMissingCreatesNothing", "[A]\r\nx=1\r\n", {{"A", "k", std::nullopt}, {"B", "k", std::nullopt}},
                  "[A]\r\nx=1\r\n", false},
        WriteCase{"SameValueLeavesTheLineAlone", "[A]\r\n  k = 1 \r\n", {{"A", "k", "1"}}, "[A]\r\n  k = 1 \r\n", false},
        WriteCase{"EmptyValueWritten", "[A]\r\nk=1\r\n", {{"A", "k", ""}}, "[A]\r\nk=\r\n", true},
        WriteCase{"BlanksAroundNamesIgnored", "", {{" A ", " k ", " 1 "}}, "[A]\r\nk=1\r\n", true},
        WriteCase{"IntoTheFirstDuplicateSection", "[A]\r\nx=1\r\n[a]\r\nk=2\r\n", {{"A", "k", "3"}},
                  "[A]\r\nx=1\r\nk=3\r\n[a]\r\nk=2\r\n", true},
        WriteCase{"LineBreaksInAValueAreDropped", "", {{"A", "k", "1\r\n[B]\r\nj=2"}}, "[A]\r\nk=1[B]j=2\r\n", true},
        WriteCase{"UnknownLinesStayUntouched",
                  "garbage\n; comment\r\n[A]\r\nno equals\r\n[broken\r\n=nokey\r\n\xFF\xFE\x01\r\nk=1\r\n",
                  {{"A", "k", "2"}, {"A", "new", "3"}},
                  "garbage\r\n; comment\r\n[A]\r\nno equals\r\n[broken\r\n=nokey\r\n\xFF\xFE\x01\r\nk=2\r\nnew=3\r\n",
                  true},
        WriteCase{"LoneCarriageReturnIsContent", "[A]\r\nx\ry\r\r\n", {}, "[A]\r\nx\ry\r\r\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniWrite, RefusesNamesThatWouldNotReadBack) {
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"A", ""}, {"A", "a=b"}, {"A", "[k]"}, {"A", ";k"}, {"A", "a\nb"}, {"A", "a\0b"s},
      {"a]b", "k"}, {"a\r\nb", "k"}, {"A\x81", "k"},  // a lone lead byte would swallow ']'
  };
  for (const auto& [section, key] : bad) {
    IniDocument doc;
    EXPECT_THROW(doc.Set(section, key, "1"), std::invalid_argument) << section << "/" << key;
    EXPECT_EQ(doc.Serialize(), "");
  }
}

TEST(IniParse, SurvivesHostileBytes) {
  const std::string megabyte(1 << 20, 'x');
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"Empty", ""},
      {"OnlyLineEnds", "\r\n\n\r\r"},
      {"NoSections", "a=1\r\nb=2\r\n"},
      {"Binary", "\x00\xFF\x81\n\x5B\x00\x5D\x3D\x81\x5D\n\xFE"s},
      {"MegabyteLine", megabyte + "\r\n[A]\r\nk=1\r\n"},
      {"MegabyteValue", "[A]\r\nk=" + megabyte + "\r\n"},
      {"MegabyteHeader", "[" + megabyte + "]\r\nk=1\r\n"},
  };
  for (const Case& c : cases) {
    IniDocument doc = IniDocument::Parse(c.bytes);
    std::string out = doc.Serialize();
    IniDocument again = IniDocument::Parse(out);
    EXPECT_EQ(again.Serialize(), out) << c.name;
    EXPECT_EQ(again.Names(), doc.Names()) << c.name;
    doc.Set("A", "k", "2");
    EXPECT_EQ(doc.Get("A", "k"), "2") << c.name;
  }
  EXPECT_EQ(IniDocument::Parse(megabyte + "\r\n[A]\r\nk=1\r\n").Get("A", "k"), "1");
  EXPECT_EQ(IniDocument::Parse("[A]\r\nk=" + megabyte).Get("A", "k"), std::string(254, 'x'));
}

}  // namespace
}  // namespace tovren::core
