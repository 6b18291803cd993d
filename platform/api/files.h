#pragma once
// Files and folders. Paths are UTF-8 with Windows separators ("zarnu\\zarnu.res"); a
// relative path is relative to the process's current folder, which is the game folder.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/api/types.h"

namespace tovren::platform {

struct FileInfo {
  bool directory = false;
  bool hidden = false;
  bool system = false;
  bool readOnly = false;
  std::uint64_t size = 0;
};

class Files {
 public:
  virtual ~Files() = default;

  // What is there under this name, or nothing. Sees hidden and system entries too.
  virtual std::optional<FileInfo> Stat(const std::string& path) = 0;

  // The whole file. Throws OsError when it cannot be read.
  virtual Bytes ReadAll(const std::string& path) = 0;

  // Writes bytes at offset into an existing file, without truncating or reading it.
  // Throws OsError when the file is missing or cannot be written.
  virtual void WriteAt(const std::string& path, std::uint64_t offset, const Bytes& bytes) = 0;

  // Creates or replaces the file with exactly these bytes (a longer old file is cut).
  // Throws OsError on failure.
  virtual void WriteWhole(const std::string& path, const Bytes& bytes) = 0;

  // Replaces dest by source in one step, flushed to disk (MoveFileEx with
  // REPLACE_EXISTING | WRITE_THROUGH on Windows, rename on the host). Works when dest is
  // missing and when dest is hidden or system. Throws OsError on failure.
  virtual void Replace(const std::string& source, const std::string& dest) = 0;

  // Creates one folder. Throws OsError on failure (also when something is there).
  virtual void CreateFolder(const std::string& path) = 0;

  // Deletes a file. Throws OsError on failure (a missing file is a failure too).
  virtual void Delete(const std::string& path) = 0;

  // A normal file: present, not a folder, neither hidden nor system.
  bool IsNormalFile(const std::string& path) {
    auto info = Stat(path);
    return info && !info->directory && !info->hidden && !info->system;
  }
};

}  // namespace tovren::platform
