#pragma once
#include "platform/api/processes.h"

namespace tovren::win32 {

class Win32Processes : public platform::Processes {
 public:
  std::uint32_t RunHiddenAndWait(const platform::Program& program, const std::string& currentFolder,
                                 int timeoutMs) override;
  void Start(const platform::Program& program, int showCode) override;
  std::vector<platform::ProcessEntry> List() override;
  void Terminate(std::uint32_t pid) override;
};

}  // namespace tovren::win32
