// The change rules of the settings fields, against a recording view.
#include "core/field_rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/unit/core/recording_view.h"

namespace tovren::core {
namespace {

using testing_support::RecordingView;
using Calls = std::vector<std::string>;

struct RuleCase {
  const char* name;
  std::function<void(Settings&)> act;
  Calls expected;  // every view call, in order
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }

class FieldRule : public testing::TestWithParam<RuleCase> {};

TEST_P(FieldRule, MakesTheseViewCalls) {
  Settings s;
  RecordingView view;
  InstallFieldRules(s, view);
  GetParam().act(s);
  EXPECT_EQ(view.calls, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FieldRule,
    testing::Values(
        RuleCase{"PanelFlag1On", [](Settings& s) { s.按钮辅助[0].Set("1"); },
                 {"hide 开始", "show 网络", "hide 血时"}},
        RuleCase{"PanelFlag2On", [](Settings& s) { s.按钮辅助[1].Set("1"); },
                 {"hide 开始", "show 血时", "hide 网络"}},
        RuleCase{"PanelFlag2Off", [](Settings& s) { s.按钮辅助[1].Set("1"); s.按钮辅助[1].Set("0"); },
                 {"hide 开始", "show 血时", "hide 网络", "show 开始", "hide 血时", "hide 网络"}},
        RuleCase{"PanelFlag3HasNoRule", [](Settings& s) { s.按钮辅助[2].Set("1"); }, {}},
        RuleCase{"SameTextRunsNothing", [](Settings& s) { s.按钮辅助[0].Set("0"); s.版本编号.Set("1"); }, {}},
        RuleCase{"Version2", [](Settings& s) { s.版本编号.Set("2"); }, {"version ojb0902"}},
        RuleCase{"Version3", [](Settings& s) { s.版本编号.Set("3"); }, {"version ojb0903"}},
        RuleCase{"VersionWithoutPicture", [](Settings& s) { s.版本编号.Set("4"); s.版本编号.Set(""); s.版本编号.Set("1 "); }, {}},
        RuleCase{"Switch3On", [](Settings& s) { s.复选框辅助[2].Set("1"); }, {"box 2 ojb0303", "color C0C0C0"}},
        RuleCase{"Switch8On", [](Settings& s) { s.复选框辅助[7].Set("1"); }, {"box 7 ojb0803", "color 404040"}},
        RuleCase{"Switch3OffOnlyClearsHover", [](Settings& s) { s.复选框辅助[2].Set("1"); s.复选框辅助[2].Set("0"); },
                 {"box 2 ojb0303", "color C0C0C0", "unhover 2", "color C0C0C0"}},
        RuleCase{"SwitchWordYesIsOff", [](Settings& s) { s.复选框辅助[2].Set("yes"); }, {"unhover 2", "color C0C0C0"}},
        RuleCase{"LabelStaysGreyWhileSwitch8On", [](Settings& s) { s.复选框辅助[7].Set("1"); s.复选框辅助[0].Set("1"); },
                 {"box 7 ojb0803", "color 404040", "box 0 ojb0103", "color 404040"}},
        RuleCase{"Path11Whole", [](Settings& s) { s.路径.Set("D:\\a\\bc.exe"); }, {"caption D:\\a\\bc.exe"}},
        RuleCase{"Path15Cut", [](Settings& s) { s.路径.Set("D:\\Play\\run.exe"); }, {"caption D:\\...lay\\run.exe"}},
        RuleCase{"Path12Overlaps", [](Settings& s) { s.路径.Set("C:\\ab\\cd.exe"); }, {"caption C:\\...:\\ab\\cd.exe"}},
        RuleCase{"PathCutByCharactersNotBytes",
                 [](Settings& s) { s.路径.Set("D:\\游戏平台\\启动器.exe"); },  // 15 characters, 29 bytes
                 {"caption D:\\...戏平台\\启动器.exe"}},
        RuleCase{"PathEmptied", [](Settings& s) { s.路径.Set("x"); s.路径.Set(""); }, {"caption x", "caption "}},
        RuleCase{"ListOpened", [](Settings& s) { s.下拉项辅助.Set("1"); },
                 {"show list", "hide box 0", "hide box 1", "hide box 2"}},
        RuleCase{"ListClosed", [](Settings& s) { s.下拉项辅助.Set("x"); s.下拉项辅助.Set("0"); },
                 {"show list", "hide box 0", "hide box 1", "hide box 2",
                  "hide list", "show box 0", "show box 1", "show box 2"}},
        RuleCase{"Time1MirrorsIntoRound1", [](Settings& s) { s.时间[0].Set("7"); },
                 {"text 时间 0 7", "text 场次 0 7"}},
        RuleCase{"Round2MirrorsIntoTime2", [](Settings& s) { s.场次[1].Set("4"); },
                 {"text 场次 1 4", "text 时间 1 4"}},
        RuleCase{"Round3ClearedClearsTime3", [](Settings& s) { s.场次[2].Set(""); },
                 {"text 场次 2 ", "text 时间 2 "}},
        RuleCase{"Time5MirrorsIntoRound5", [](Settings& s) { s.时间[4].Set("9"); },
                 {"text 时间 4 9", "text 场次 4 9"}},
        RuleCase{"Element4HasNoPartner", [](Settings& s) { s.时间[3].Set("12"); s.场次[3].Set("10"); },
                 {"text 时间 3 12", "text 场次 3 10"}},
        RuleCase{"Rounds6To8HaveNoPartner", [](Settings& s) { s.场次[5].Set("1"); s.场次[6].Set("2"); s.场次[7].Set("3"); },
                 {"text 场次 5 1", "text 场次 6 2", "text 场次 7 3"}},
        RuleCase{"HpAndPlayersShowTheirText", [](Settings& s) { s.血量[4].Set("999"); s.人数.Set("8"); },
                 {"text 血量 4 999", "text 人数 0 8"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FieldRules, MirroredPairsHoldTheSameText) {
  Settings s;
  RecordingView view;
  InstallFieldRules(s, view);
  s.时间[0].Set("7");
  s.场次[1].Set("4");
  s.时间[3].Set("12");
  s.场次[5].Set("2");
  EXPECT_EQ(s.场次[0].Text(), "7");
  EXPECT_EQ(s.时间[1].Text(), "4");
  EXPECT_EQ(s.场次[3].Text(), "9");  // untouched default
  EXPECT_EQ(s.时间[3].Text(), "12");
  EXPECT_EQ(s.时间[4].Text(), "15");
  EXPECT_EQ(view.shownText[std::pair(RuleField::场次, 0)], "7");
  EXPECT_EQ(view.shownText[std::pair(RuleField::时间, 1)], "4");
}

TEST(FieldRules, LastChangedPanelFlagDecides) {
  Settings s;
  RecordingView view;
  InstallFieldRules(s, view);
  s.按钮辅助[0].Set("1");
  s.按钮辅助[1].Set("1");
  EXPECT_EQ(view.panels, (std::map<Panel, bool>{{Panel::开始, false}, {Panel::网络, false}, {Panel::血时, true}}));
  s.按钮辅助[0].Set("0");
  EXPECT_EQ(view.panels, (std::map<Panel, bool>{{Panel::开始, true}, {Panel::网络, false}, {Panel::血时, false}}));
}

TEST(FieldRules, PanelFlagIsReadAsANumber) {
  const std::pair<const char*, bool> cases[] = {
      {"1", true},  {" 1", true},  {"01", true}, {"1.0", true}, {"+1", true},  {"1abc", true},
      {"0", false}, {"", false},   {"10", false}, {"1.5", false}, {"-1", false}, {"x1", false},
  };
  for (const auto& [text, one] : cases) EXPECT_EQ(IsNumberOne(text), one) << "'" << text << "'";
}

TEST(FieldRules, FocusSelectsTheWholeText) {
  RecordingView view;
  OnRuleFieldFocus(view, RuleField::时间, 2);
  OnRuleFieldFocus(view, RuleField::人数, 0);
  EXPECT_EQ(view.calls, (Calls{"select 时间 2", "select 人数 0"}));
}

TEST(FieldRules, CaptionIsAlways17CharactersFrom12On) {
  for (std::size_t n = 1; n <= 30; ++n) {
    std::string path(n, 'a');
    std::string caption = PathCaption(path);
    EXPECT_EQ(caption.size(), n < 12 ? n : 17u) << n;
  }
}

}  // namespace
}  // namespace tovren::core
