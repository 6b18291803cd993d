#pragma once
#include "platform/api/registry.h"

namespace tovren::win32 {

// Values go where a 32-bit program's writes go, whatever this build's bitness: under
// HKEY_LOCAL_MACHINE\Software a 64-bit Windows stores them in Wow6432Node, which is where
// the game looks.
class Win32Registry : public platform::Registry {
 public:
  void WriteString(const std::string& valuePath, const std::string& data) override;
};

}  // namespace tovren::win32
