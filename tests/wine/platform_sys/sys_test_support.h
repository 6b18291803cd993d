#pragma once
// Shared by the system-service tests: a scratch folder with a Chinese name, and raw access
// to files that bypasses the code under test.
#include <windows.h>

#include <string>

#include "platform/api/types.h"
#include "platform/win32/wide.h"

namespace tovren::win32::test {

inline void RemoveTree(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

// A path under the temporary folder that no other test, run or process uses: "<temp>" +
// name + "<process id>_<n>", emptied if something was left there.
inline std::wstring FreshTempPath(const std::wstring& name) {
  static int counter = 0;
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  std::wstring path = std::wstring(temp) + name + std::to_wstring(GetCurrentProcessId()) + L"_" +
                      std::to_wstring(++counter);
  RemoveTree(path);
  return path;
}

// A fresh folder under the temporary folder, named in Chinese, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    path_ = FreshTempPath(L"tovren_测试_");
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~ScratchFolder() { RemoveTree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // UTF-8 path of name inside the folder ("" for the folder itself).
  std::string Path(const std::string& name = "") const {
    return name.empty() ? Utf8(path_) : Utf8(path_) + "\\" + name;
  }

 private:
  std::wstring path_;
};

inline platform::Bytes B(const std::string& s) { return platform::Bytes(s.begin(), s.end()); }

inline bool RawWrite(const std::string& path, const std::string& content) {
  HANDLE f = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == content.size();
}

// The file's bytes, or "<missing>".
inline std::string RawRead(const std::string& path) {
  HANDLE f = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(f);
  return out;
}

inline DWORD RawAttributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

}  // namespace tovren::win32::test
