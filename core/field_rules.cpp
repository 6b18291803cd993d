#include "core/field_rules.h"

#include <cstddef>
#include <vector>

namespace tovren::core {

namespace {

// The time and round elements that belong together (items 1, 2, 3 and 5 on the backdrop).
bool IsMirrored(int element) { return element == 0 || element == 1 || element == 2 || element == 4; }

// Start offsets of the code points of a UTF-8 text (continuation bytes start none).
std::vector<std::size_t> CodePointStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  return starts;
}

void ShowOnlyStart(SettingsView& view, bool flagIsOne, Panel panel, Panel other) {
  if (flagIsOne) {
    view.ShowPanel(Panel::开始, false);
    view.ShowPanel(panel, true);
  } else {
    view.ShowPanel(Panel::开始, true);
    view.ShowPanel(panel, false);
  }
  view.ShowPanel(other, false);
}

}  // namespace

bool IsNumberOne(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  while (i < text.size() && text[i] == '0') ++i;
  if (i >= text.size() || text[i] != '1') return false;
  ++i;
  if (i < text.size() && text[i] >= '0' && text[i] <= '9') return false;  // 10, 12 ...
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (text[i] != '0') return false;
    }
  }
  return true;
}

std::string PathCaption(std::string_view path) {
  std::vector<std::size_t> starts = CodePointStarts(path);
  const std::size_t n = starts.size();
  if (n < 12) return std::string(path);
  std::string caption(path.substr(0, starts[3]));
  caption += "...";
  caption += path.substr(starts[n - 11]);
  return caption;
}

void OnRuleFieldFocus(SettingsView& view, RuleField field, int element) {
  view.SelectAll(field, element);
}

void InstallFieldRules(Settings& s, SettingsView& view) {
  // Panel flags 1 and 2: the flag that changed last decides the panel. Flag 3 has no rule.
  s.按钮辅助[0].OnChange([&s, &view] {
    ShowOnlyStart(view, IsNumberOne(s.按钮辅助[0].Text()), Panel::网络, Panel::血时);
  });
  s.按钮辅助[1].OnChange([&s, &view] {
    ShowOnlyStart(view, IsNumberOne(s.按钮辅助[1].Text()), Panel::血时, Panel::网络);
  });

  // Only the three versions have a picture; any other text keeps the one shown.
  s.版本编号.OnChange([&s, &view] {
    const std::string& v = s.版本编号.Text();
    if (v == "1" || v == "2" || v == "3") view.SetVersionPicture("ojb090" + v);
  });

  for (int i = 0; i < 8; ++i) {
    s.复选框辅助[i].OnChange([&s, &view, i] {
      if (s.复选框辅助[i].IsOn()) {
        view.SetCheckBoxPicture(i, "ojb0" + std::to_string(i + 1) + "03");
      } else {
        // Whoever turns a switch off sets the off picture; the hover machine redraws.
        view.ClearCheckBoxHover(i);
      }
      // The path label looks enabled only while "play through a game platform" is on.
      view.SetPathLabelColor(s.复选框辅助[7].IsOn() ? kPathLabelEnabled : kPathLabelDisabled);
    });
  }

  s.路径.OnChange([&s, &view] { view.SetPathLabelCaption(PathCaption(s.路径.Text())); });

  s.下拉项辅助.OnChange([&s, &view] {
    const bool closed = s.下拉项辅助.Text() == "0";
    view.ShowVersionList(!closed);
    // The open list covers the first three check boxes.
    for (int i = 0; i < 3; ++i) view.ShowCheckBox(i, closed);
  });

  for (int i = 0; i < 5; ++i) {
    s.时间[i].OnChange([&s, &view, i] {
      view.ShowRuleText(RuleField::时间, i, s.时间[i].Text());
      // The partner's rule copies the same text back, which changes nothing.
      if (IsMirrored(i)) s.场次[i].Set(s.时间[i].Text());
    });
    s.血量[i].OnChange([&s, &view, i] { view.ShowRuleText(RuleField::血量, i, s.血量[i].Text()); });
  }
  for (int i = 0; i < 8; ++i) {
    s.场次[i].OnChange([&s, &view, i] {
      view.ShowRuleText(RuleField::场次, i, s.场次[i].Text());
      if (IsMirrored(i)) s.时间[i].Set(s.场次[i].Text());
    });
  }
  s.人数.OnChange([&s, &view] { view.ShowRuleText(RuleField::人数, 0, s.人数.Text()); });
}

}  // namespace tovren::core
