// Windows-style paths on a real host folder, with hidden/system attributes in a table and
// injectable write failures.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>

#include "platform/api/errors.h"
#include "platform/sim/sim_platform.h"

namespace tovren::sim {
namespace fs = std::filesystem;
using platform::OsError;

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::uint32_t FromErrc(const std::error_code& ec) {
  if (ec == std::errc::no_such_file_or_directory) return platform::kErrorFileNotFound;
  if (ec == std::errc::permission_denied) return platform::kErrorAccessDenied;
  if (ec == std::errc::no_space_on_device) return platform::kErrorDiskFull;
  return static_cast<std::uint32_t>(ec.value());
}

}  // namespace

SimFiles::SimFiles(fs::path root, std::string gameFolderWin)
    : root_(std::move(root)), gameFolderWin_(std::move(gameFolderWin)) {}

// The path relative to the simulated game folder, with '/' separators.
std::string SimFiles::Key(const std::string& path) const {
  std::string p = path;
  std::string game = Lower(gameFolderWin_);
  if (Lower(p).rfind(game, 0) == 0 && (p.size() == game.size() || p[game.size()] == '\\')) {
    p = p.substr(std::min(p.size(), game.size() + 1));
  } else if (p.size() >= 2 && p[1] == ':') {
    p = std::string("drive_") + static_cast<char>(std::tolower(static_cast<unsigned char>(p[0]))) +
        p.substr(2);
  }
  std::replace(p.begin(), p.end(), '\\', '/');
  while (!p.empty() && p.front() == '/') p.erase(0, 1);
  while (!p.empty() && p.back() == '/') p.pop_back();
  return p;
}

fs::path SimFiles::HostPath(const std::string& path) const {
  std::string key = Key(path);
  return key.empty() ? root_ : root_ / fs::path(key);
}

void SimFiles::SetAttributes(const std::string& path, bool hidden, bool system) {
  attributes_[Lower(Key(path))] = {hidden, system};
}

void SimFiles::FailWrites(const std::string& prefix, std::uint32_t code) {
  failures_.emplace_back(Lower(Key(prefix)), code);
}

void SimFiles::FailReads(const std::string& prefix, std::uint32_t code) {
  readFailures_.emplace_back(Lower(Key(prefix)), code);
}

void SimFiles::CheckWritable(const std::string& path) const {
  std::string key = Lower(Key(path));
  for (const auto& [prefix, code] : failures_)
    if (key.rfind(prefix, 0) == 0) throw OsError("write refused: " + path, code);
}

std::optional<platform::FileInfo> SimFiles::Stat(const std::string& path) {
  std::error_code ec;
  fs::path host = HostPath(path);
  auto st = fs::status(host, ec);
  if (ec || !fs::exists(st)) return std::nullopt;
  platform::FileInfo info;
  info.directory = fs::is_directory(st);
  if (!info.directory) info.size = fs::file_size(host, ec);
  auto it = attributes_.find(Lower(Key(path)));
  if (it != attributes_.end()) {
    info.hidden = it->second.first;
    info.system = it->second.second;
  }
  return info;
}

Bytes SimFiles::ReadAll(const std::string& path) {
  fs::path host = HostPath(path);
  std::error_code ec;
  if (!fs::is_regular_file(host, ec)) throw OsError("read " + path, platform::kErrorFileNotFound);
  const std::string key = Lower(Key(path));
  for (const auto& [prefix, code] : readFailures_)
    if (key.rfind(prefix, 0) == 0) throw OsError("read refused: " + path, code);
  std::ifstream in(host, std::ios::binary);
  if (!in) throw OsError("read " + path, platform::kErrorAccessDenied);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void SimFiles::WriteAt(const std::string& path, std::uint64_t offset, const Bytes& bytes) {
  log_.push_back("WriteAt " + Key(path) + "@" + std::to_string(offset));
  CheckWritable(path);
  fs::path host = HostPath(path);
  std::error_code ec;
  if (!fs::is_regular_file(host, ec)) throw OsError("open " + path, platform::kErrorFileNotFound);
  std::fstream f(host, std::ios::in | std::ios::out | std::ios::binary);
  if (!f) throw OsError("open " + path, platform::kErrorAccessDenied);
  f.seekp(static_cast<std::streamoff>(offset));
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw OsError("write " + path, platform::kErrorDiskFull);
}

void SimFiles::WriteWhole(const std::string& path, const Bytes& bytes) {
  log_.push_back("WriteWhole " + Key(path));
  CheckWritable(path);
  fs::path host = HostPath(path);
  std::error_code ec;
  if (!fs::is_directory(host.parent_path(), ec))
    throw OsError("create " + path, platform::kErrorPathNotFound);
  if (fs::is_directory(host, ec)) throw OsError("create " + path, platform::kErrorAccessDenied);
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  if (!out) throw OsError("create " + path, platform::kErrorAccessDenied);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw OsError("write " + path, platform::kErrorDiskFull);
}

void SimFiles::Replace(const std::string& source, const std::string& dest) {
  log_.push_back("Replace " + Key(source) + " -> " + Key(dest));
  CheckWritable(dest);
  std::error_code ec;
  fs::rename(HostPath(source), HostPath(dest), ec);
  if (ec) throw OsError("replace " + dest, FromErrc(ec));
}

void SimFiles::CreateFolder(const std::string& path) {
  log_.push_back("CreateFolder " + Key(path));
  CheckWritable(path);
  std::error_code ec;
  fs::path host = HostPath(path);
  if (fs::exists(host, ec)) throw OsError("create folder " + path, 183);  // already exists
  fs::create_directory(host, ec);
  if (ec) throw OsError("create folder " + path, FromErrc(ec));
}

void SimFiles::Delete(const std::string& path) {
  log_.push_back("Delete " + Key(path));
  CheckWritable(path);
  fs::path host = HostPath(path);
  std::error_code ec;
  if (!fs::exists(host, ec)) throw OsError("delete " + path, platform::kErrorFileNotFound);
  if (fs::is_directory(host, ec)) throw OsError("delete " + path, platform::kErrorAccessDenied);
  fs::remove(host, ec);
  if (ec) throw OsError("delete " + path, FromErrc(ec));
  attributes_.erase(Lower(Key(path)));
}

}  // namespace tovren::sim
