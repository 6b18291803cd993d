#include "platform/win32/files.h"

#include <windows.h>

#include <algorithm>

#include "platform/api/errors.h"
#include "platform/win32/wide.h"

namespace tovren::win32 {
namespace {

using platform::Bytes;
using platform::OsError;

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD code) {
  throw OsError(what + " " + path, code);
}

// With the system's last error. The arguments build no strings before it is read, since an
// allocation may change it.
[[noreturn]] void Fail(const char* what, const std::string& path) {
  DWORD code = GetLastError();
  Fail(std::string(what), path, code);
}

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  // Closing is where a delayed write error shows; report it instead of losing it.
  bool Close() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

void WriteFully(HANDLE file, const Bytes& bytes, const std::string& path) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) Fail("write", path);
    if (written == 0) Fail("write", path, ERROR_WRITE_FAULT);
    done += written;
  }
}

constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Attributes of an existing file, or INVALID_FILE_ATTRIBUTES.
DWORD AttributesOf(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

bool IsFile(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows refuses to write, replace or delete a read-only file (error 5). Wine running as
// root writes straight through the bit, so the check is made here and both behave alike.
void RefuseReadOnly(DWORD attributes, const char* what, const std::string& path) {
  if (IsFile(attributes) && (attributes & FILE_ATTRIBUTE_READONLY)) Fail(what, path, ERROR_ACCESS_DENIED);
}

bool IsMissing(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
         code == ERROR_INVALID_NAME || code == ERROR_BAD_NETPATH || code == ERROR_BAD_PATHNAME ||
         code == ERROR_INVALID_DRIVE || code == ERROR_NOT_READY || code == ERROR_DIRECTORY;
}

}  // namespace

std::optional<platform::FileInfo> Win32Files::Stat(const std::string& path) {
  std::wstring wide = Wide(path);
  DWORD attributes = 0;
  std::uint64_t size = 0;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!path.empty() && GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
    attributes = data.dwFileAttributes;
    size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  } else {
    DWORD code = path.empty() ? ERROR_INVALID_NAME : GetLastError();
    if (IsMissing(code)) return std::nullopt;
    // A file held open without sharing (a running game's data) refuses its attributes;
    // the folder listing still has them.
    WIN32_FIND_DATAW found{};
    HANDLE find = path.find_first_of("*?") == std::string::npos
                      ? FindFirstFileW(wide.c_str(), &found)
                      : INVALID_HANDLE_VALUE;
    if (find == INVALID_HANDLE_VALUE) Fail("stat", path, code);
    FindClose(find);
    attributes = found.dwFileAttributes;
    size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
  }
  platform::FileInfo info;
  info.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info.hidden = (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  info.system = (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
  info.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  info.size = info.directory ? 0 : size;
  return info;
}

Bytes Win32Files::ReadAll(const std::string& path) {
  Handle file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) Fail("open for reading", path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) Fail("size of", path);
  if (static_cast<unsigned long long>(size.QuadPart) > 0x7FFFFFFFull) Fail("read", path, ERROR_FILE_TOO_LARGE);
  Bytes out;
  out.reserve(static_cast<size_t>(size.QuadPart));
  // Read to the end rather than to the size seen at open: the file may still grow.
  std::uint8_t buf[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buf, sizeof buf, &got, nullptr)) Fail("read", path);
    if (got == 0) break;
    out.insert(out.end(), buf, buf + got);
  }
  return out;
}

void Win32Files::WriteAt(const std::string& path, std::uint64_t offset, const Bytes& bytes) {
  std::wstring wide = Wide(path);
  RefuseReadOnly(AttributesOf(wide), "write", path);
  // OPEN_EXISTING: never create the file and never cut it.
  Handle file(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) Fail("open for writing", path);
  LARGE_INTEGER where{};
  where.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.get(), where, nullptr, FILE_BEGIN)) Fail("seek in", path);
  WriteFully(file.get(), bytes, path);
  if (!file.Close()) Fail("close", path);
}

void Win32Files::WriteWhole(const std::string& path, const Bytes& bytes) {
  std::wstring wide = Wide(path);
  DWORD existing = AttributesOf(wide);
  RefuseReadOnly(existing, "write", path);
  // Windows refuses CREATE_ALWAYS over a hidden or system file (error 5) unless the new
  // attributes carry the same bits; carrying them also leaves the file as the user set it.
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  if (IsFile(existing) && (existing & kHiddenSystem)) attributes = existing & kHiddenSystem;
  Handle file(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          attributes, nullptr));
  if (!file.ok()) Fail("create", path);
  WriteFully(file.get(), bytes, path);
  if (!file.Close()) Fail("close", path);
}

void Win32Files::Replace(const std::string& source, const std::string& dest) {
  std::wstring from = Wide(source);
  std::wstring to = Wide(dest);
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  DWORD old = AttributesOf(to);
  RefuseReadOnly(old, "replace", dest);
  // The replaced file keeps its hidden and system bits, as WriteWhole keeps them; the new
  // file would otherwise bring its own attributes.
  DWORD carried = IsFile(old) ? (old & kHiddenSystem) : 0;
  if (!MoveFileExW(from.c_str(), to.c_str(), flags)) {
    DWORD code = GetLastError();
    // Where the file system will not rename over a hidden or system file, take the bits
    // off first and try once more; put them back if that fails too.
    if (code != ERROR_ACCESS_DENIED || !carried || !IsFile(AttributesOf(from)) ||
        !SetFileAttributesW(to.c_str(), old & ~kHiddenSystem)) {
      Fail("replace " + dest + " by", source, code);
    }
    if (!MoveFileExW(from.c_str(), to.c_str(), flags)) {
      code = GetLastError();
      SetFileAttributesW(to.c_str(), old);
      Fail("replace " + dest + " by", source, code);
    }
  }
  if (carried) {
    DWORD now = AttributesOf(to);
    if (now == INVALID_FILE_ATTRIBUTES || !SetFileAttributesW(to.c_str(), now | carried)) {
      Fail("restore attributes of", dest);
    }
  }
}

void Win32Files::CreateFolder(const std::string& path) {
  if (!CreateDirectoryW(Wide(path).c_str(), nullptr)) Fail("create folder", path);
}

void Win32Files::Delete(const std::string& path) {
  std::wstring wide = Wide(path);
  RefuseReadOnly(AttributesOf(wide), "delete", path);
  if (!DeleteFileW(wide.c_str())) Fail("delete", path);
}

}  // namespace tovren::win32
