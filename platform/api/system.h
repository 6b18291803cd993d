#pragma once
#include <string>

namespace tovren::platform {

class System {
 public:
  virtual ~System() = default;
  // Full path of the launcher's own executable, "C:\\Game\\TovrenLauncher.exe".
  virtual std::string ModulePath() = 0;
  // Whether this 32-bit program runs through WOW64, that is on a 64-bit Windows, where
  // the registry has a separate 32-bit view ("SOFTWARE\\Wow6432Node"). False on a 32-bit
  // Windows, and when the system cannot tell.
  virtual bool RunsUnderWow64() = 0;
};

}  // namespace tovren::platform
