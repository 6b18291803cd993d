#include "launch/exe_patch.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/user_error.h"
#include "launch/game_folder.h"
#include "launch/hex_bytes.h"
#include "platform/api/codepage.h"
#include "platform/api/errors.h"

namespace tovren::launch {
namespace {

struct Write {
  std::uint64_t offset;
  platform::Bytes bytes;
};

const core::Field& FieldOf(const core::Settings& s, const TextSlot& slot) {
  switch (slot.group) {
    case RuleGroup::血量: return s.血量.at(slot.element);
    case RuleGroup::时间: return s.时间.at(slot.element);
    case RuleGroup::场次: return s.场次.at(slot.element);
    case RuleGroup::人数: return s.人数;
  }
  return s.人数;
}

std::string LabelOf(const TextSlot& slot) {
  switch (slot.group) {
    case RuleGroup::血量: return "血量" + std::to_string(slot.element + 1);
    case RuleGroup::时间: return "时间" + std::to_string(slot.element + 1);
    case RuleGroup::场次: return "场次" + std::to_string(slot.element + 1);
    case RuleGroup::人数: return "人数";
  }
  return "";
}

platform::Bytes Encode(const std::string& text) {
  std::string ansi = platform::Utf8ToGbk(text);
  return platform::Bytes(ansi.begin(), ansi.end());
}

std::vector<Write> Plan(const core::Settings& settings, int version) {
  const int column = LayoutColumn(version);
  const platform::Bytes clear = HexToBytes(kClearPattern);
  const platform::Bytes codeChange = HexToBytes(kCodeChangePattern);
  const platform::Bytes hiddenCommands = HexToBytes(kHiddenCommandsPattern);

  std::vector<Write> writes;
  // All clears come before the first value: the clears touch disjoint bytes, but a value
  // may end where a later slot's clear would otherwise cut it.
  for (const TextSlot& slot : kTextSlots) writes.push_back({slot.offset[column], clear});
  for (const TextSlot& slot : kTextSlots) {
    const std::string& text = FieldOf(settings, slot).Text();
    platform::Bytes value = Encode(slot.percent ? text + "%" : text);
    // The game reads each slot up to a zero; a value that fills its slot leaves none, and
    // the game would read on into the next text.
    if (value.size() >= slot.size) {
      throw core::UserError("设置“" + LabelOf(slot) + "”的值“" + text +
                                "”太长，游戏放不下。请把它改短后再开始游戏。",
                            "value of " + LabelOf(slot) + " leaves no terminating zero in its " +
                                std::to_string(slot.size) + "-byte slot");
    }
    writes.push_back({slot.offset[column], std::move(value)});
  }
  writes.push_back({kCodeChangeOffset[column], codeChange});
  if (settings.复选框辅助[0].IsOn()) writes.push_back({kHiddenCommandsOffset[column], hiddenCommands});
  return writes;
}

}  // namespace

void CheckRuleValues(const core::Settings& settings) { Plan(settings, 1); }

void PatchGameExecutable(platform::Files& files, const core::Settings& settings, int version) {
  std::vector<Write> writes = Plan(settings, version);
  std::uint64_t end = 0;
  for (const Write& w : writes) end = std::max(end, w.offset + w.bytes.size());
  RequireGameFile(files, kGameExe, end);

  try {
    for (const Write& w : writes) {
      if (!w.bytes.empty()) files.WriteAt(kGameExe, w.offset, w.bytes);
    }
  } catch (const platform::OsError& e) {
    ThrowWriteFailed(kGameExe, e);
  }

  if (LayoutColumn(version) == 0) {
    std::optional<platform::FileInfo> stray;
    try {
      stray = files.Stat(kVersion2OnlyFile);
    } catch (const platform::OsError&) {
      stray.reset();
    }
    if (stray && !stray->directory) {
      try {
        files.Delete(kVersion2OnlyFile);
      } catch (const platform::OsError& e) {
        throw core::UserError(std::string("无法删除游戏文件 ") + kVersion2OnlyFile +
                                  "。请关闭正在运行的游戏，然后再试。",
                              std::string("cannot delete ") + kVersion2OnlyFile + ": " + e.what());
      }
    }
  }
}

}  // namespace tovren::launch
