#pragma once
// The change rules of the settings fields: they keep what the player sees in line with
// the values, whoever changes them (typing, loading, the launch actions, the check boxes,
// the version selector and the browse button).
#include <string>
#include <string_view>

#include "core/settings.h"
#include "core/settings_view.h"

namespace tovren::core {

// Installs the rule of every field that has one. settings and view must outlive the
// rules (they live as long as `主体`).
void InstallFieldRules(Settings& settings, SettingsView& view);

// A rule field element (`血量`, `时间`, `场次` element, or `人数` with element 0) got the
// input focus: its whole text is selected, so the next typed character replaces it.
void OnRuleFieldFocus(SettingsView& view, RuleField field, int element);

// The platform-path label's caption for a path: the whole path below 12 characters, else
// its first 3, "..." and its last 11 (characters are code points of the UTF-8 text).
std::string PathCaption(std::string_view path);

// The panel flags' reading of a text: its leading number (blanks skipped), compared with 1.
bool IsNumberOne(std::string_view text);

inline constexpr platform::Rgb kPathLabelEnabled = 0x404040;   // dark grey
inline constexpr platform::Rgb kPathLabelDisabled = 0xC0C0C0;  // silver

}  // namespace tovren::core
