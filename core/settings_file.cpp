#include "core/settings_file.h"

#include <algorithm>
#include <utility>

#include "core/paths.h"
#include "platform/api/codepage.h"
#include "platform/api/errors.h"

namespace tovren::core {

namespace {

std::string ToString(const platform::Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

platform::Bytes ToBytes(std::string_view text) {
  return platform::Bytes(text.begin(), text.end());
}

// The file as a document, or nothing when there is no file (a folder of that name is no
// settings file either). Throws OsError when it is there but cannot be read.
std::optional<IniDocument> ReadDocument(platform::Files& files, const std::string& path) {
  auto info = files.Stat(path);
  if (!info || info->directory) return std::nullopt;
  return IniDocument::Parse(ToString(files.ReadAll(path)));
}

// Writes the whole file beside the old one and swaps it in, so the settings file is
// always either the old one or the new one. Throws OsError; the temporary file is gone
// by then.
void WriteAtomically(platform::Files& files, const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".tmp";
  try {
    files.WriteWhole(temp, ToBytes(bytes));
    files.Replace(temp, path);
  } catch (const platform::OsError&) {
    try {
      if (files.Stat(temp)) files.Delete(temp);
    } catch (const platform::OsError&) {
      // Nothing more to do: a leftover temporary file is replaced by the next save.
    }
    throw;
  }
}

UserError SaveError(const platform::OsError& error) {
  if (error.code() == platform::kErrorDiskFull) {
    return UserError("设置未能保存：磁盘空间不足。请清理磁盘空间。",
                     "settings not saved: the disk is full");
  }
  return UserError("设置未能保存：无法写入 zarnu\\zarnu.res。请检查该文件是否只读或被其他程序占用。",
                   std::string("settings not saved: cannot write zarnu\\zarnu.res (") +
                       error.what() + ")");
}

}  // namespace

std::array<Field*, 29> SettingFields(Settings& s) {
  return {&s.版本编号,
          &s.复选框辅助[0], &s.复选框辅助[1], &s.复选框辅助[2], &s.复选框辅助[3],
          &s.复选框辅助[4], &s.复选框辅助[5], &s.复选框辅助[6], &s.复选框辅助[7],
          &s.路径,
          &s.血量[0], &s.血量[1], &s.血量[2], &s.血量[3], &s.血量[4],
          &s.时间[0], &s.时间[1], &s.时间[2], &s.时间[3], &s.时间[4],
          &s.场次[0], &s.场次[1], &s.场次[2], &s.场次[3],
          &s.场次[4], &s.场次[5], &s.场次[6], &s.场次[7],
          &s.人数};
}

std::array<const Field*, 29> SettingFields(const Settings& settings) {
  auto fields = SettingFields(const_cast<Settings&>(settings));
  std::array<const Field*, 29> out{};
  for (std::size_t i = 0; i < fields.size(); ++i) out[i] = fields[i];
  return out;
}

namespace RES读取 {

std::string ReadResValue(IniDocument& file, std::string_view section, std::string_view key,
                         const std::optional<std::string>& defaultValue) {
  const std::string gbkSection = platform::Utf8ToGbk(section);
  const std::string gbkKey = platform::Utf8ToGbk(key);
  std::optional<std::string> value = file.Get(gbkSection, gbkKey);
  if (value) value->erase(std::min(value->find('\0'), value->size()));
  if (!value || value->empty()) {
    if (defaultValue) {
      file.Set(gbkSection, gbkKey, platform::Utf8ToGbk(*defaultValue));
    } else {
      file.Set(gbkSection, gbkKey, std::nullopt);
    }
    return defaultValue.value_or("");
  }
  return platform::GbkToUtf8(*value);
}

std::string ReadResValue(platform::Files& files, std::string_view section, std::string_view key,
                         const std::optional<std::string>& defaultValue, const std::string& path) {
  IniDocument doc;
  try {
    if (auto read = ReadDocument(files, path)) doc = std::move(*read);
  } catch (const platform::OsError&) {
    // Unreadable: read as missing, and never write a fresh file over it.
    IniDocument scratch;
    return ReadResValue(scratch, section, key, defaultValue);
  }
  std::string result = ReadResValue(doc, section, key, defaultValue);
  if (doc.Changed()) {
    try {
      WriteAtomically(files, path, doc.Serialize());
    } catch (const platform::OsError&) {
      // The profile writer's result is not looked at either; the value read stands.
    }
  }
  return result;
}

}  // namespace RES读取

std::optional<UserError> LoadSettings(Settings& settings, platform::Files& files,
                                      platform::System& system) {
  const std::string path = SettingsFilePath(system);
  std::optional<IniDocument> doc;
  try {
    doc = ReadDocument(files, path);
  } catch (const platform::OsError& error) {
    return UserError("无法读取设置文件 zarnu\\zarnu.res，本次使用默认设置。请检查该文件是否被其他程序占用。",
                     std::string("cannot read the settings file, defaults used (") + error.what() + ")");
  }
  if (!doc) return std::nullopt;

  auto fields = SettingFields(settings);
  for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
    fields[i]->Set(ReadResValue(*doc, kSettingKeys[i].section, kSettingKeys[i].key, std::nullopt));
  }
  if (doc->Changed()) {
    try {
      WriteAtomically(files, path, doc->Serialize());
    } catch (const platform::OsError&) {
      // Only empty entries were to go; the save at close writes every entry anyway.
    }
  }
  return std::nullopt;
}

std::optional<UserError> SaveSettings(const Settings& settings, platform::Files& files,
                                      platform::System& system) {
  const std::string folder = ZarnuFolder(system);
  const std::string path = SettingsFilePath(system);
  try {
    auto info = files.Stat(path);
    if (info && info->directory) {
      throw platform::OsError("the settings file is a folder", platform::kErrorAccessDenied);
    }
    std::string original;
    std::optional<IniDocument> existing;
    if (info) {
      original = ToString(files.ReadAll(path));
      existing = IniDocument::Parse(original);
    } else if (!files.Stat(folder)) {
      files.CreateFolder(folder);
    }

    IniDocument doc = existing ? std::move(*existing) : IniDocument();
    auto fields = SettingFields(settings);
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
      doc.Set(platform::Utf8ToGbk(kSettingKeys[i].section), platform::Utf8ToGbk(kSettingKeys[i].key),
              platform::Utf8ToGbk(fields[i]->Text()));
    }
    doc.Set(platform::Utf8ToGbk(kNoticeSection), platform::Utf8ToGbk(kNoticeKey),
            platform::Utf8ToGbk(kNoticeText));

    std::string bytes = doc.Serialize();
    if (existing && bytes == original) return std::nullopt;
    WriteAtomically(files, path, bytes);
  } catch (const platform::OsError& error) {
    return SaveError(error);
  }
  return std::nullopt;
}

}  // namespace tovren::core
