#include "platform/win32/system.h"

#include <windows.h>

#include "platform/api/errors.h"
#include "platform/win32/bitness.h"
#include "platform/win32/wide.h"

namespace tovren::win32 {

std::string Win32System::ModulePath() {
  // The game folder may lie deep; grow until the whole name fits.
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) {
      DWORD code = GetLastError();
      throw platform::OsError("module file name", code);
    }
    if (n < buf.size()) {
      buf.resize(n);
      return Utf8(buf);
    }
    if (buf.size() >= 32768) throw platform::OsError("module file name", ERROR_INSUFFICIENT_BUFFER);
    buf.resize(buf.size() * 2);
  }
}

std::string Win32System::CurrentFolder() {
  for (DWORD size = MAX_PATH;;) {
    std::wstring buf(size, L'\0');
    DWORD n = GetCurrentDirectoryW(size, buf.data());
    if (n == 0) {
      DWORD code = GetLastError();
      throw platform::OsError("current folder", code);
    }
    if (n < size) {
      buf.resize(n);
      return Utf8(buf);
    }
    size = n;  // the size it needs, with its terminating zero
  }
}

bool Win32System::Is64BitWindows() {
  BOOL wow64 = FALSE;
  return WindowsIs64Bit(kProgram64, IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
}

}  // namespace tovren::win32
