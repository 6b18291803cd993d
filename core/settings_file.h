#pragma once
// The settings file "<launcher folder>\zarnu\zarnu.res": an INI file in code page 936,
// read once when `主体` starts and written once when it closes. Inside the program every
// setting lives only in its field of core::Settings.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/ini.h"
#include "core/settings.h"
#include "core/user_error.h"
#include "platform/api/files.h"
#include "platform/api/system.h"

namespace tovren::core {

struct SettingKey {
  std::string_view section;
  std::string_view key;
};

// The 29 persisted settings in the order they are read and written; row i belongs to
// SettingFields(...)[i].
inline constexpr std::array<SettingKey, 29> kSettingKeys{{
    {"版本", "编号"},
    {"配置", "复选1"}, {"配置", "复选2"}, {"配置", "复选3"}, {"配置", "复选4"},
    {"网络", "复选5"}, {"网络", "复选6"}, {"网络", "复选7"}, {"网络", "复选8"},
    {"网络", "路径"},
    {"设置", "血量1"}, {"设置", "血量2"}, {"设置", "血量3"}, {"设置", "血量4"}, {"设置", "血量5"},
    {"设置", "时间1"}, {"设置", "时间2"}, {"设置", "时间3"}, {"设置", "时间4"}, {"设置", "时间5"},
    {"设置", "场次1"}, {"设置", "场次2"}, {"设置", "场次3"}, {"设置", "场次4"},
    {"设置", "场次5"}, {"设置", "场次6"}, {"设置", "场次7"}, {"设置", "场次8"},
    {"设置", "人数"},
}};

// Written last by every save; never read.
inline constexpr std::string_view kNoticeSection = "关于";
inline constexpr std::string_view kNoticeKey = "注意";
inline constexpr std::string_view kNoticeText =
    "本文件由程序自动生成，请勿手动修改！否则可能会使程序无法正常运行！";

std::array<Field*, 29> SettingFields(Settings& settings);
std::array<const Field*, 29> SettingFields(const Settings& settings);

namespace RES读取 {

// Reads section/key of the file held in file. A missing or empty value writes
// defaultValue back under the key (no default deletes the key) and returns the default, or
// "" without one. Otherwise returns the value (at most 254 bytes, up to its first NUL
// byte) converted from GBK to UTF-8. Names are UTF-8.
std::string ReadResValue(IniDocument& file, std::string_view section, std::string_view key,
                         const std::optional<std::string>& defaultValue);

// The same on the file at path; a write-back replaces the file in one step. A file that
// cannot be read counts as missing; a failed write-back is ignored (the value read is
// returned all the same).
std::string ReadResValue(platform::Files& files, std::string_view section, std::string_view key,
                         const std::optional<std::string>& defaultValue, const std::string& path);

}  // namespace RES读取

using RES读取::ReadResValue;

// Reads the 29 settings in table order into their fields, each assignment running its
// field's rule at once. A missing or empty entry empties the field; empty entries are
// removed from the file in one atomic write at the end. No file (first run): the fields
// keep their defaults. A hidden or system file is loaded like any other.
// Returns an error for the player when the file is there but cannot be read (the fields
// then keep their defaults).
std::optional<UserError> LoadSettings(Settings& settings, platform::Files& files,
                                      platform::System& system);

// Writes the 29 settings in table order, then the notice, keeping everything else of an
// existing file. The new file is written whole beside the old one and replaces it in one
// step, so a failure never leaves a cut or mixed file: the old file stays as it was and
// the temporary file is removed. Never throws for a failed write; returns the error for
// the player instead, so the close can go on.
std::optional<UserError> SaveSettings(const Settings& settings, platform::Files& files,
                                      platform::System& system);

}  // namespace tovren::core
