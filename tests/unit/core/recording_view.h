#pragma once
// A SettingsView that writes down every call as a short line and keeps the resulting
// screen state, so a test can check both the order of the steps and where they end.
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/settings_view.h"

namespace tovren::core::testing_support {

inline const char* PanelName(Panel p) {
  switch (p) {
    case Panel::开始: return "开始";
    case Panel::网络: return "网络";
    case Panel::血时: return "血时";
  }
  return "?";
}

inline const char* FieldName(RuleField f) {
  switch (f) {
    case RuleField::血量: return "血量";
    case RuleField::时间: return "时间";
    case RuleField::场次: return "场次";
    case RuleField::人数: return "人数";
  }
  return "?";
}

class RecordingView : public SettingsView {
 public:
  std::vector<std::string> calls;
  std::map<Panel, bool> panels{{Panel::开始, true}, {Panel::网络, false}, {Panel::血时, false}};
  std::string versionPicture = "ojb0901";
  std::map<int, std::string> checkBoxPictures;
  std::map<int, bool> checkBoxVisible;
  platform::Rgb labelColor = 0xC0C0C0;
  std::string caption = "请选择游戏平台";
  bool versionListVisible = false;
  std::map<std::pair<RuleField, int>, std::string> shownText;

  void ShowPanel(Panel panel, bool visible) override {
    calls.push_back(std::string(visible ? "show " : "hide ") + PanelName(panel));
    panels[panel] = visible;
  }
  void SetVersionPicture(const std::string& name) override {
    calls.push_back("version " + name);
    versionPicture = name;
  }
  void SetCheckBoxPicture(int element, const std::string& name) override {
    calls.push_back("box " + std::to_string(element) + " " + name);
    checkBoxPictures[element] = name;
  }
  void ClearCheckBoxHover(int element) override {
    calls.push_back("unhover " + std::to_string(element));
  }
  void SetPathLabelColor(platform::Rgb color) override {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(color));
    calls.push_back(std::string("color ") + hex);
    labelColor = color;
  }
  void SetPathLabelCaption(const std::string& text) override {
    calls.push_back("caption " + text);
    caption = text;
  }
  void ShowVersionList(bool visible) override {
    calls.push_back(visible ? "show list" : "hide list");
    versionListVisible = visible;
  }
  void ShowCheckBox(int element, bool visible) override {
    calls.push_back(std::string(visible ? "show box " : "hide box ") + std::to_string(element));
    checkBoxVisible[element] = visible;
  }
  void SelectAll(RuleField field, int element) override {
    calls.push_back(std::string("select ") + FieldName(field) + " " + std::to_string(element));
  }
  void ShowRuleText(RuleField field, int element, const std::string& text) override {
    calls.push_back(std::string("text ") + FieldName(field) + " " + std::to_string(element) + " " + text);
    shownText[{field, element}] = text;
  }
};

}  // namespace tovren::core::testing_support
