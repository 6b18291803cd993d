#pragma once
#include "platform/api/system.h"

namespace tovren::win32 {

class Win32System : public platform::System {
 public:
  std::string ModulePath() override;
  bool Is64BitWindows() override;
  std::string CurrentFolder() override;
};

}  // namespace tovren::win32
