#include "launch/payload.h"

#include "core/paths.h"
#include "core/user_error.h"
#include "platform/api/errors.h"

namespace tovren::launch {

void WriteResourceFile(LaunchServices& services, const std::string& type,
                       const std::string& name, const std::string& file) {
  std::optional<platform::Bytes> bytes = services.resources.Load(type, name);
  if (!bytes) {
    throw core::UserError("启动器缺少游戏数据 " + type + "/" + name + "。请重新下载完整的启动器。",
                          "resource " + type + "/" + name + " is missing");
  }
  try {
    services.files.WriteWhole(file, *bytes);
  } catch (const platform::OsError& e) {
    throw core::UserError("无法在游戏文件夹中写入 " + file + "。请确认游戏文件夹可以写入、磁盘空间足够，然后再试。",
                          "cannot write " + file + ": " + e.what());
  }
}

void InstallPayload(LaunchServices& services, const std::string& type, const std::string& name,
                    const std::string& file) {
  std::string folder;
  try {
    folder = services.system.CurrentFolder();
  } catch (const platform::OsError& e) {
    throw core::UserError("找不到游戏文件夹。请把启动器放在游戏文件夹中重新打开，然后再试。",
                          std::string("current folder: ") + e.what());
  }
  WriteResourceFile(services, type, name, file);

  std::uint32_t exitCode = 0;
  bool hung = false;
  try {
    // The file just written, by its full path: never a program found by a search.
    exitCode = services.processes.RunHiddenAndWait(platform::ProgramAt(core::JoinPath(folder, file)),
                                                   folder, kPackTimeoutMs);
  } catch (const platform::OsError& e) {
    if (e.code() != platform::kErrorTimeout) {
      throw core::UserError("无法运行游戏安装包 " + file + "。请检查杀毒软件是否拦截了它，然后再试。",
                            "cannot run " + file + ": " + e.what());
    }
    hung = true;  // the platform has ended it; what it left is removed below
  }

  // The archive deletes itself when it is done; one that did not must not stay behind.
  try {
    std::optional<platform::FileInfo> info = services.files.Stat(file);
    if (info && !info->directory) services.files.Delete(file);
  } catch (const platform::OsError& e) {
    // A failed install says more than the archive it left behind.
    if (exitCode <= kPackWarningsOnly && !hung) {
      throw core::UserError("无法删除游戏安装包 " + file + "。请手动删除它，然后再试。",
                            "cannot delete " + file + ": " + e.what());
    }
  }

  if (hung) {
    throw core::UserError("游戏安装包 " + file + " 运行太久没有结束，已被停止。请关闭其他程序后再试。",
                          file + " did not end in time");
  }
  if (exitCode > kPackWarningsOnly) {
    throw core::UserError("游戏安装包 " + file + " 没有装完（退出代码 " + std::to_string(exitCode) +
                              "）。请确认磁盘空间足够、游戏没有在运行，然后再试。",
                          file + " ended with exit code " + std::to_string(exitCode));
  }
}

}  // namespace tovren::launch
