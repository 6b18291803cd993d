#pragma once
// Files through the wide Windows functions; paths are UTF-8 with backslashes.
#include "platform/api/files.h"

namespace tovren::win32 {

class Win32Files : public platform::Files {
 public:
  std::optional<platform::FileInfo> Stat(const std::string& path) override;
  platform::Bytes ReadAll(const std::string& path) override;
  void WriteAt(const std::string& path, std::uint64_t offset, const platform::Bytes& bytes) override;
  void WriteWhole(const std::string& path, const platform::Bytes& bytes) override;
  void Replace(const std::string& source, const std::string& dest) override;
  void CreateFolder(const std::string& path) override;
  void Delete(const std::string& path) override;
};

}  // namespace tovren::win32
