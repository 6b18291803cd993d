#pragma once
#include <string>

namespace tovren::platform {

class System {
 public:
  virtual ~System() = default;
  // Full path of the launcher's own executable, "C:\\Game\\TovrenLauncher.exe".
  virtual std::string ModulePath() = 0;
  // Whether Windows is a 64-bit one, where the registry has a separate 32-bit view
  // ("SOFTWARE\\Wow6432Node"), whichever bitness this program was built for. False on a
  // 32-bit Windows, and when the system cannot tell.
  virtual bool Is64BitWindows() = 0;
  // Full path of the process's current folder, the game folder that relative file names
  // name ("C:\\Game"; a drive root keeps its backslash). Throws OsError when unknown.
  virtual std::string CurrentFolder() = 0;
};

}  // namespace tovren::platform
