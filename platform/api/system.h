#pragma once
#include <string>

namespace tovren::platform {

class System {
 public:
  virtual ~System() = default;
  // Full path of the launcher's own executable, "C:\\Game\\TovrenLauncher.exe".
  virtual std::string ModulePath() = 0;
};

}  // namespace tovren::platform
