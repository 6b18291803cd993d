#pragma once
// The one error a platform service throws when an operation fails. The logic turns it
// into a user-facing message at the step where it happened.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tovren::platform {

class OsError : public std::runtime_error {
 public:
  // what: an English description for maintainers ("write Tovren.exe"); code: the system's
  // error number (Win32 GetLastError, errno on the host), 0 when there is none.
  OsError(const std::string& what, std::uint32_t code) : std::runtime_error(what), code_(code) {}
  std::uint32_t code() const { return code_; }

 private:
  std::uint32_t code_;
};

// Error numbers the logic looks at, with their Win32 values (the host maps errno to them).
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorDiskFull = 112;
inline constexpr std::uint32_t kErrorTimeout = 1460;

}  // namespace tovren::platform
