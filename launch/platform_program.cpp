#include "launch/platform_program.h"

#include "core/paths.h"
#include "core/user_error.h"
#include "platform/api/errors.h"

namespace tovren::launch {
namespace {

[[noreturn]] void ChooseAgain(const std::string& path, const std::string& why) {
  throw core::UserError("找不到游戏平台程序“" + path +
                            "”。请在网络设置中点击“浏览”重新选择平台程序，然后再开始游戏。",
                        "platform path \"" + path + "\": " + why);
}

bool IsFullPath(const std::string& path) {
  if (path.rfind("\\\\", 0) == 0) return true;  // \\server\share\...
  return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/') &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The existing file that name means, by its full path; nothing when there is none.
std::optional<std::string> ExistingFile(const std::string& name, platform::Files& files,
                                        platform::System& system) {
  if (name.empty()) return std::nullopt;
  std::string full = name;
  if (!IsFullPath(name)) {
    // "\x.exe" and "D:x.exe" depend on a drive's own current folder: too vague to run.
    if (name.front() == '\\' || name.front() == '/' || name.find(':') != std::string::npos)
      return std::nullopt;
    try {
      full = core::JoinPath(system.CurrentFolder(), name);
    } catch (const platform::OsError&) {
      return std::nullopt;
    }
  }
  std::optional<platform::FileInfo> info;
  try {
    info = files.Stat(full);
  } catch (const platform::OsError&) {
    info.reset();
  }
  if (!info || info->directory) return std::nullopt;
  return full;
}

}  // namespace

platform::Program PlatformProgram(const std::string& path, platform::Files& files,
                                  platform::System& system) {
  if (!path.empty() && path.front() == '"') {
    const std::size_t close = path.find('"', 1);
    if (close == std::string::npos) ChooseAgain(path, "the quote of its program part is not closed");
    std::optional<std::string> file = ExistingFile(path.substr(1, close - 1), files, system);
    if (!file) ChooseAgain(path, "its quoted program part names no file");
    return {*file, path};
  }
  std::optional<std::string> file = ExistingFile(path, files, system);
  if (!file) ChooseAgain(path, "names no file (a command line needs its program part quoted)");
  return platform::ProgramAt(*file);
}

}  // namespace tovren::launch
