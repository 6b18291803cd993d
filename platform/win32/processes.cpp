#include "platform/win32/processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/api/errors.h"
#include "platform/win32/wide.h"

namespace tovren::win32 {
namespace {

// Starts the program and hands back its process handle; the thread handle is closed.
HANDLE Launch(const platform::Program& program, const std::string& currentFolder, int showCode) {
  // Without an application name CreateProcess would take the command line's text up to
  // each blank in turn as the program to run ("D:\My" for "D:\My Games\..."): never.
  if (program.file.empty()) throw platform::OsError("start without a file name", ERROR_INVALID_PARAMETER);
  const std::wstring file = Wide(program.file);
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::wstring cmd = Wide(program.commandLine);
  cmd.push_back(L'\0');
  std::wstring folder = Wide(currentFolder);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(showCode);
  // A console program started by a windowless launcher would get a console window of its
  // own; a hidden start must show nothing at all.
  DWORD flags = showCode == SW_HIDE ? CREATE_NO_WINDOW : 0;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(file.c_str(), cmd.data(), nullptr, nullptr, FALSE, flags, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
    DWORD code = GetLastError();
    throw platform::OsError("start " + program.file, code);
  }
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

}  // namespace

std::uint32_t Win32Processes::RunHiddenAndWait(const platform::Program& program,
                                               const std::string& currentFolder, int timeoutMs) {
  HANDLE process = Launch(program, currentFolder, SW_HIDE);
  DWORD code = 0;
  DWORD waited = WaitForSingleObject(process, static_cast<DWORD>(timeoutMs < 0 ? 0 : timeoutMs));
  if (waited == WAIT_TIMEOUT) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
    throw platform::OsError("wait for " + program.file, platform::kErrorTimeout);
  }
  bool ok = waited == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code);
  DWORD error = ok ? 0 : GetLastError();
  CloseHandle(process);
  if (!ok) throw platform::OsError("wait for " + program.file, error);
  return code;
}

void Win32Processes::Start(const platform::Program& program, int showCode) {
  CloseHandle(Launch(program, "", showCode));
}

std::vector<platform::ProcessEntry> Win32Processes::List() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    throw platform::OsError("list processes", code);
  }
  std::vector<platform::ProcessEntry> out;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry)) {
    out.push_back({entry.th32ProcessID, Utf8(entry.szExeFile)});
  }
  CloseHandle(snap);
  return out;
}

void Win32Processes::Terminate(std::uint32_t pid) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
  if (!process) return;
  TerminateProcess(process, 0);
  CloseHandle(process);
}

}  // namespace tovren::win32
