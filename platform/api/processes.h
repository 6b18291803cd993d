#pragma once
// Starting, waiting for, listing and ending programs.
#include <cstdint>
#include <string>
#include <vector>

namespace tovren::platform {

struct ProcessEntry {
  std::uint32_t pid = 0;
  std::string exeName;  // executable name as the system lists it, letter case kept
};

class Processes {
 public:
  virtual ~Processes() = default;

  // Runs commandLine with a hidden window and currentFolder as its current folder, and
  // waits until it has ended. Returns its exit code. Throws OsError when it cannot start,
  // and OsError with kErrorTimeout when it has not ended after timeoutMs; the program is
  // then ended, so a hung program can never hold the caller for ever.
  virtual std::uint32_t RunHiddenAndWait(const std::string& commandLine,
                                         const std::string& currentFolder, int timeoutMs) = 0;

  // Starts commandLine with a show code (0 hidden, 1 normal, 2 minimised) without waiting.
  // Throws OsError when it cannot start.
  virtual void Start(const std::string& commandLine, int showCode) = 0;

  virtual std::vector<ProcessEntry> List() = 0;
  // Ends a process with exit code 0; failures are ignored, as nothing can be done about them.
  virtual void Terminate(std::uint32_t pid) = 0;
};

}  // namespace tovren::platform
