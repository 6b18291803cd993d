#pragma once
// The fight rules and two code changes written into the game executable. The game keeps
// each choice it offers as a short zero-terminated text at a fixed place in its data; the
// launcher overwrites those texts with the player's values.
#include <array>
#include <cstdint>

#include "core/settings.h"
#include "platform/api/files.h"

namespace tovren::launch {

enum class RuleGroup { 血量, 时间, 场次, 人数 };  // HP, time, rounds, players

// One rule text slot: which field fills it, and where it lies in each layout.
struct TextSlot {
  RuleGroup group;
  int element;          // 0 for 人数
  bool percent;         // hit points are written with a trailing "%"
  std::uint32_t size;   // bytes of the slot; a value must leave at least one zero in it
  std::uint32_t offset[2];  // [0] versions 1 and 3, [1] version 2
};

// In writing order. The game shares several texts between its lists: time values 1-3
// and 5 also stand for round values 1-3 and 5, and time value 4 lies among the player
// texts; the settings rules keep the shared values equal on screen.
inline constexpr std::array<TextSlot, 15> kTextSlots{{
    {RuleGroup::血量, 0, true, 4, {0x1C743C, 0x1C744C}},
    {RuleGroup::血量, 1, true, 8, {0x1C7434, 0x1C7444}},
    {RuleGroup::血量, 2, true, 8, {0x1C742C, 0x1C743C}},
    {RuleGroup::血量, 3, true, 8, {0x1C7424, 0x1C7434}},
    {RuleGroup::血量, 4, true, 8, {0x1C741C, 0x1C742C}},
    {RuleGroup::时间, 0, false, 4, {0x1C7474, 0x1C7484}},
    {RuleGroup::时间, 1, false, 4, {0x1C7470, 0x1C7480}},
    {RuleGroup::时间, 2, false, 4, {0x1C746C, 0x1C747C}},
    {RuleGroup::场次, 3, false, 4, {0x1C7468, 0x1C7478}},
    {RuleGroup::时间, 3, false, 4, {0x1C7490, 0x1C74A0}},
    {RuleGroup::时间, 4, false, 4, {0x1C7464, 0x1C7474}},
    {RuleGroup::场次, 5, false, 4, {0x1C7460, 0x1C7470}},
    {RuleGroup::场次, 6, false, 4, {0x1C745C, 0x1C746C}},
    {RuleGroup::场次, 7, false, 4, {0x1C7458, 0x1C7468}},
    {RuleGroup::人数, 0, false, 4, {0x1C7484, 0x1C7494}},
}};

// The installed executables hold 75 07 here; two no-ops make the game always use the
// first player-count text.
inline constexpr std::uint32_t kCodeChangeOffset[2] = {0x3AB5E, 0x3AAAE};
// The installed executables hold 75 1F here, a jump in front of the hidden-commands test;
// 71 (jump on no overflow) is always taken, so the commands are always available.
inline constexpr std::uint32_t kHiddenCommandsOffset[2] = {0xB6595, 0xB66F5};

inline constexpr const char* kClearPattern = "00 00 00 00";
inline constexpr const char* kCodeChangePattern = "90 90";
inline constexpr const char* kHiddenCommandsPattern = "71";

// The layout column of a version: 1 and 3 share the first, 2 has the second.
constexpr int LayoutColumn(int version) { return version == 2 ? 1 : 0; }

// Writes the rule texts and code bytes into "Tovren.exe" for version 1, 2 or 3, and for
// versions 1 and 3 removes the scene-22 file that only version 2 brings.
// Checks first and writes nothing when it throws core::UserError for a missing or short
// executable or for a value that fills its slot or runs past it (the game would read it
// into, or it would overwrite, the neighbouring text).
void PatchGameExecutable(platform::Files& files, const core::Settings& settings, int version);

// The value check of PatchGameExecutable alone, so that a start can refuse a value that
// does not fit before it installs anything.
void CheckRuleValues(const core::Settings& settings);

}  // namespace tovren::launch
