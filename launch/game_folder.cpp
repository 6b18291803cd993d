#include "launch/game_folder.h"

#include "core/user_error.h"
#include "platform/api/errors.h"
#include "platform/api/platform.h"

namespace tovren::launch {

LaunchServices LaunchServices::From(const platform::Platform& platform) {
  return LaunchServices{platform.files, platform.resources, platform.processes,
                        platform.registry, platform.system};
}

std::optional<int> ParseGameVersion(const std::string& text) {
  if (text == "1") return 1;
  if (text == "2") return 2;
  if (text == "3") return 3;
  return std::nullopt;
}

void RequireGameFile(platform::Files& files, const std::string& name, std::uint64_t minSize) {
  std::optional<platform::FileInfo> info;
  try {
    info = files.Stat(name);
  } catch (const platform::OsError&) {
    info.reset();  // unreadable counts as missing: nothing can be patched in it
  }
  if (!info || info->directory) {
    throw core::UserError("找不到游戏文件 " + name + "，无法写入游戏设置。请确认启动器放在游戏文件夹中，然后再试。",
                          "game file " + name + " is missing");
  }
  if (info->size < minSize) {
    throw core::UserError("游戏文件 " + name + " 不完整，无法写入游戏设置。请重新安装游戏后再试。",
                          "game file " + name + " is shorter than " + std::to_string(minSize) +
                              " bytes");
  }
}

void ThrowWriteFailed(const std::string& name, const std::exception& cause) {
  throw core::UserError("无法写入游戏文件 " + name + "。请关闭正在运行的游戏，确认游戏文件夹可以写入，然后再试。",
                        std::string("cannot write ") + name + ": " + cause.what());
}

}  // namespace tovren::launch
