// Helper program for the process tests.
//   tovren_sys_child report <file> <exit code>   writes its current folder and how it was
//                                                asked to show, then exits with the code
//   tovren_sys_child sleep <ms>                   waits, for the list and end tests
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "platform/win32/wide.h"

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 100;
  std::wstring mode = argv[1];
  if (mode == L"sleep") {
    Sleep(static_cast<DWORD>(_wtoi(argv[2])));
    return 0;
  }
  if (mode != L"report" || argc < 4) return 101;
  wchar_t folder[MAX_PATH * 2] = {};
  GetCurrentDirectoryW(MAX_PATH * 2, folder);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  GetStartupInfoW(&si);
  std::string text = tovren::win32::Utf8(folder) + "\n" +
                     std::to_string((si.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0) + " " +
                     std::to_string(si.wShowWindow) + "\n";
  // Written under a temporary name and then renamed, so a reader never sees half of it.
  std::wstring target = argv[2];
  std::wstring temp = target + L".part";
  HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 102;
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
  if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return 103;
  return _wtoi(argv[3]);
}
