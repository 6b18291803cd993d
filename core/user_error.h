#pragma once
// A failure the player is told about: a short Chinese text that says what failed and what
// to do. The handler of each window event catches it, shows one message box and keeps the
// launcher running.
#include <stdexcept>
#include <string>

namespace tovren::core {

class UserError : public std::runtime_error {
 public:
  // message: the Chinese text shown to the player; gloss: the same in English, for logs
  // and test failures.
  UserError(std::string message, const std::string& gloss)
      : std::runtime_error(gloss), message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

// The title of every message box of the launcher.
inline constexpr const char* kMessageTitle = "TovrenLauncher";

}  // namespace tovren::core
