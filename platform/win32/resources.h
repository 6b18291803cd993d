#pragma once
// Resources of the running executable.
#include "platform/api/resources.h"

namespace tovren::win32 {

class Win32Resources : public platform::Resources {
 public:
  std::optional<platform::Bytes> Load(const std::string& type, const std::string& name) override;
  bool HasBitmap(const std::string& name) override;
};

}  // namespace tovren::win32
