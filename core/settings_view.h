#pragma once
// What the field rules change on screen. The skinned window implements it over the
// desktop; tests implement it with a recorder.
#include <string>

#include "platform/api/types.h"

namespace tovren::core {

enum class Panel { 开始, 网络, 血时 };  // start, network, HP/time

// The rule fields, for the select-all-on-focus rule.
enum class RuleField { 血量, 时间, 场次, 人数 };

class SettingsView {
 public:
  virtual ~SettingsView() = default;
  virtual void ShowPanel(Panel panel, bool visible) = 0;
  // Shows the named bitmap in the version picture `版本`; names that do not exist are
  // never asked for.
  virtual void SetVersionPicture(const std::string& bitmapName) = 0;
  virtual void SetCheckBoxPicture(int element, const std::string& bitmapName) = 0;
  // Clears the hover mark (Tag) of check box `复选框` element.
  virtual void ClearCheckBoxHover(int element) = 0;
  virtual void SetPathLabelColor(platform::Rgb color) = 0;
  virtual void SetPathLabelCaption(const std::string& caption) = 0;
  virtual void ShowVersionList(bool visible) = 0;
  virtual void ShowCheckBox(int element, bool visible) = 0;
  // Select the whole text of a rule field element (element is 0 for `人数`).
  virtual void SelectAll(RuleField field, int element) = 0;
  // Keeps a visible rule field's shown text in line with its field.
  virtual void ShowRuleText(RuleField field, int element, const std::string& text) = 0;
};

}  // namespace tovren::core
