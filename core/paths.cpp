#include "core/paths.h"

namespace tovren::core {

std::string FolderOf(std::string_view path) {
  std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos) return "";
  std::string_view folder = path.substr(0, slash);
  // "C:\\x.exe": the folder is the root "C:\\", which needs its backslash.
  if (folder.size() == 2 && folder[1] == ':') return std::string(path.substr(0, slash + 1));
  return std::string(folder);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out(folder);
  if (out.back() != '\\' && out.back() != '/') out += '\\';
  out += name;
  return out;
}

std::string LauncherFolder(platform::System& system) { return FolderOf(system.ModulePath()); }

std::string ZarnuFolder(platform::System& system) {
  return JoinPath(LauncherFolder(system), "zarnu");
}

std::string SettingsFilePath(platform::System& system) {
  return JoinPath(ZarnuFolder(system), "zarnu.res");
}

}  // namespace tovren::core
