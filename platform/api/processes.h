#pragma once
// Starting, waiting for, listing and ending programs.
#include <cstdint>
#include <string>
#include <vector>

namespace tovren::platform {

// A program to start: the file that runs, named by its full path, and the command line it
// is given. The file is never looked up: no search path, and no trying the words of a
// path with blanks in turn, so a program planted at "D:\My.exe" beside "D:\My Games" can
// never stand in for the one meant.
struct Program {
  std::string file;
  std::string commandLine;
};

// The file alone, its command line the quoted path (a program sees its own path as its
// first argument).
inline Program ProgramAt(const std::string& fullPath) { return {fullPath, "\"" + fullPath + "\""}; }

struct ProcessEntry {
  std::uint32_t pid = 0;
  std::string exeName;  // executable name as the system lists it, letter case kept
};

class Processes {
 public:
  virtual ~Processes() = default;

  // Runs the program with a hidden window and currentFolder as its current folder, and
  // waits until it has ended. Returns its exit code. Throws OsError when it cannot start
  // (an empty file name included), and OsError with kErrorTimeout when it has not ended
  // after timeoutMs; the program is then ended, so a hung program can never hold the
  // caller for ever.
  virtual std::uint32_t RunHiddenAndWait(const Program& program, const std::string& currentFolder,
                                         int timeoutMs) = 0;

  // Starts the program with a show code (0 hidden, 1 normal, 2 minimised) without waiting.
  // Throws OsError when it cannot start.
  virtual void Start(const Program& program, int showCode) = 0;

  virtual std::vector<ProcessEntry> List() = 0;
  // Ends a process with exit code 0; failures are ignored, as nothing can be done about them.
  virtual void Terminate(std::uint32_t pid) = 0;
};

}  // namespace tovren::platform
