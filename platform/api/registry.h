#pragma once
#include <string>

namespace tovren::platform {

class Registry {
 public:
  virtual ~Registry() = default;
  // Writes a REG_SZ value, creating missing keys on the way. valuePath is the full name,
  // "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren\\Path". Throws OsError (code 5 when the
  // system refuses: no administrator rights).
  virtual void WriteString(const std::string& valuePath, const std::string& data) = 0;
};

}  // namespace tovren::platform
