#pragma once
#include <string>

namespace tovren::platform {

class System {
 public:
  virtual ~System() = default;
  // Full path of the launcher's own executable, "C:\\Game\\TovrenLauncher.exe".
  virtual std::string ModulePath() = 0;
  // Full path of the process's current folder, the game folder that relative file names
  // name ("C:\\Game"; a drive root keeps its backslash). Throws OsError when unknown.
  virtual std::string CurrentFolder() = 0;
};

}  // namespace tovren::platform
