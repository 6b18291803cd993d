#include "platform/win32/processes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/api/errors.h"
#include "platform/win32/system.h"
#include "sys_test_support.h"

namespace tovren::win32::test {
namespace {

constexpr const char* kChildName = "tovren_sys_child.exe";

std::string ChildExe() {
  std::string self = Win32System().ModulePath();
  return self.substr(0, self.rfind('\\') + 1) + kChildName;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The child by its file, with these arguments after its quoted path.
platform::Program Child(const std::string& arguments) {
  return {ChildExe(), Quoted(ChildExe()) + " " + arguments};
}

// Polls until the file exists (the child writes it in one rename), at most ~15 s.
std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 300; ++i) {
    std::string text = RawRead(path);
    if (text != "<missing>") return text;
    Sleep(50);
  }
  return "<missing>";
}

bool Listed(Win32Processes& processes, std::uint32_t pid) {
  auto list = processes.List();
  return std::any_of(list.begin(), list.end(), [&](const platform::ProcessEntry& e) { return e.pid == pid; });
}

TEST(SysProcesses, RunHiddenAndWaitUsesTheFolderAndReturnsTheExitCode) {
  ScratchFolder dir;
  const std::string folder = dir.Path("游戏目录");
  ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
  const std::string report = dir.Path("report.txt");
  Win32Processes processes;
  std::uint32_t code =
      processes.RunHiddenAndWait(Child("report " + Quoted(report) + " 3"), folder, 30000);
  EXPECT_EQ(code, 3u);
  // Waited for: the report is there the moment the call returns.
  EXPECT_EQ(RawRead(report), folder + "\n1 0\n");
}

TEST(SysProcesses, RunHiddenAndWaitFailsWhenTheProgramIsMissing) {
  ScratchFolder dir;
  Win32Processes processes;
  try {
    processes.RunHiddenAndWait(platform::ProgramAt(dir.Path("vsn.exe")), dir.Path(), 30000);
    ADD_FAILURE() << "a missing program started";
  } catch (const platform::OsError& e) {
    EXPECT_EQ(e.code(), platform::kErrorFileNotFound);
  }
}

TEST(SysProcesses, RunHiddenAndWaitEndsAProgramThatOutlastsItsTimeOut) {
  ScratchFolder dir;
  Win32Processes processes;
  try {
    processes.RunHiddenAndWait(Child("sleep 60000"), dir.Path(), 300);
    ADD_FAILURE() << "a hung program was waited for";
  } catch (const platform::OsError& e) {
    EXPECT_EQ(e.code(), platform::kErrorTimeout);
  }
  auto list = processes.List();
  EXPECT_EQ(std::count_if(list.begin(), list.end(),
                          [](const platform::ProcessEntry& e) {
                            return e.exeName == "tovren_sys_child.exe";
                          }),
            0);
}

TEST(SysProcesses, StartPassesTheShowCodeAndDoesNotWait) {
  ScratchFolder dir;
  Win32Processes processes;
  for (int show : {0, 1, 2}) {
    SCOPED_TRACE(show);
    const std::string report = dir.Path("start" + std::to_string(show) + ".txt");
    processes.Start(Child("report " + Quoted(report) + " 0"), show);
    std::string text = WaitForFile(report);
    ASSERT_NE(text, "<missing>");
    EXPECT_EQ(text.substr(text.find('\n') + 1), "1 " + std::to_string(show) + "\n");
  }
}

TEST(SysProcesses, TheFileRunsWhateverTheCommandLineSaysAndNoneRunsWithoutOne) {
  ScratchFolder dir;
  Win32Processes processes;
  // The command line's program part names a program that is not there: the file named as
  // the program is what runs, and it sees the command line as given.
  const std::string report = dir.Path("ran.txt");
  processes.Start({ChildExe(), Quoted(dir.Path("other.exe")) + " report " + Quoted(report) + " 0"}, 0);
  EXPECT_NE(WaitForFile(report), "<missing>");

  for (bool wait : {true, false}) {
    SCOPED_TRACE(wait);
    const platform::Program nameless{"", Quoted(ChildExe()) + " report " + Quoted(report) + " 0"};
    DeleteFileW(Wide(report).c_str());
    try {
      if (wait) processes.RunHiddenAndWait(nameless, dir.Path(), 30000);
      else processes.Start(nameless, 0);
      ADD_FAILURE() << "started without a file";
    } catch (const platform::OsError&) {
    }
    Sleep(300);
    EXPECT_EQ(RawRead(report), "<missing>");
  }
}

TEST(SysSystem, CurrentFolderIsTheFullPathRelativeNamesMean) {
  ScratchFolder dir;
  wchar_t previous[MAX_PATH * 2] = {};
  GetCurrentDirectoryW(MAX_PATH * 2, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(Wide(dir.Path()).c_str()));
  EXPECT_EQ(Win32System().CurrentFolder(), dir.Path());
  SetCurrentDirectoryW(previous);
}

TEST(SysProcesses, ListFindsAStartedProgramAndTerminateEndsIt) {
  Win32Processes processes;
  // Started directly to learn its id; List must then name it as the system does.
  std::wstring cmd = Wide(Quoted(ChildExe()) + " sleep 60000");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  CloseHandle(pi.hThread);

  auto list = processes.List();
  auto it = std::find_if(list.begin(), list.end(),
                         [&](const platform::ProcessEntry& e) { return e.pid == pi.dwProcessId; });
  ASSERT_NE(it, list.end());
  EXPECT_EQ(it->exeName, kChildName);

  processes.Terminate(pi.dwProcessId);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hProcess);
  EXPECT_FALSE(Listed(processes, pi.dwProcessId));

  processes.Terminate(pi.dwProcessId);  // gone already: ignored
}

}  // namespace
}  // namespace tovren::win32::test
