#pragma once
// Resources carried in the launcher's own executable.
#include <optional>
#include <string>

#include "platform/api/types.h"

namespace tovren::platform {

class Resources {
 public:
  virtual ~Resources() = default;
  // Bytes of the resource of this type and name, exactly as stored, or nothing when it does
  // not exist. A name of decimal digits is a numeric id ("1" is VSN/1, "101" is PNG/101).
  virtual std::optional<Bytes> Load(const std::string& type, const std::string& name) = 0;
  // Whether a bitmap resource of that name exists (names compare ignoring case).
  virtual bool HasBitmap(const std::string& name) = 0;
};

}  // namespace tovren::platform
