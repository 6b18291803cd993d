// The stand-in kit under Wine: the self-extracting stub, the payloads it
// carries, the game window, the config tool and the IP tool.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "game_layout.h"
#include "sfx_format.h"

namespace {

std::wstring ExeDir() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
  std::wstring s(buf, n);
  return s.substr(0, s.rfind(L'\\') + 1);
}
std::wstring Payload(const std::wstring& name) { return ExeDir() + STANDINS_PAYLOADS_REL L"\\" + name; }
std::wstring Fixture(const std::wstring& name) { return ExeDir() + STANDINS_FIXTURES_REL L"\\" + name; }

std::string ReadAll(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out(GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  if (!out.empty()) ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
  CloseHandle(h);
  out.resize(got);
  return out;
}

// Writes bytes from the file's first byte; truncate=false keeps a longer tail.
void WriteAll(const std::wstring& path, const std::string& data, bool truncate = true) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, truncate ? CREATE_ALWAYS : OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << "cannot write test file";
  DWORD wrote = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &wrote, nullptr);
  CloseHandle(h);
  ASSERT_EQ(wrote, data.size());
}

std::wstring Wide(const std::string& s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// Every file below dir (hidden ones too), relative, backslashes.
void ListFiles(const std::wstring& dir, const std::wstring& prefix, std::vector<std::string>& out) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListFiles(dir + L"\\" + name, prefix + name + L"\\", out);
    else
      out.push_back(Utf8(prefix + name));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}
std::vector<std::string> Files(const std::wstring& dir) {
  std::vector<std::string> out;
  ListFiles(dir, L"", out);
  std::sort(out.begin(), out.end());
  return out;
}

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName, full = dir + L"\\" + name;
      if (name == L"." || name == L"..") continue;
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full);
      else
        DeleteFileW(full.c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"standins-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempDir() { RemoveTree(path_); }
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& rel) const { return path_ + L"\\" + rel; }

 private:
  std::wstring path_;
};

HANDLE Start(const std::wstring& exe, const std::wstring& cwd, WORD show) {
  std::wstring cmd = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = show;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

constexpr DWORD kTimedOut = 0xFFFF0001;

DWORD WaitExit(HANDLE p, DWORD ms = 30000) {
  if (!p) return kTimedOut;
  DWORD code = kTimedOut;
  if (WaitForSingleObject(p, ms) == WAIT_OBJECT_0)
    GetExitCodeProcess(p, &code);
  else
    TerminateProcess(p, 1);
  CloseHandle(p);
  return code;
}

DWORD RunHidden(const std::wstring& exe, const std::wstring& cwd) { return WaitExit(Start(exe, cwd, SW_HIDE)); }

// A process the test started or found; ended at scope exit if it still runs,
// so that a failed check does not leave a window behind for later tests.
class Proc {
 public:
  explicit Proc(HANDLE h) : h_(h) {}
  static Proc Of(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return Proc(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  }
  Proc(Proc&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
  ~Proc() {
    if (h_) WaitExit(h_, 0);
  }
  explicit operator bool() const { return h_ != nullptr; }
  DWORD pid() const { return h_ ? GetProcessId(h_) : 0; }
  std::wstring image() const {
    wchar_t buf[MAX_PATH * 2] = {};
    DWORD len = MAX_PATH * 2;
    return h_ && QueryFullProcessImageNameW(h_, 0, buf, &len) ? std::wstring(buf, len) : L"";
  }
  DWORD Wait(DWORD ms) {
    HANDLE h = h_;
    h_ = nullptr;
    return WaitExit(h, ms);
  }

 private:
  HANDLE h_;
};

template <class F>
bool WaitFor(F done, DWORD ms = 10000) {
  for (DWORD t = 0; t < ms; t += 50) {
    if (done()) return true;
    Sleep(50);
  }
  return done();
}

// A top-level window of the given title that belongs to process pid.
HWND FindOwnWindow(const wchar_t* title, DWORD pid) {
  for (HWND w = FindWindowExW(nullptr, nullptr, nullptr, title); w;
       w = FindWindowExW(nullptr, w, nullptr, title)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid) return w;
  }
  return nullptr;
}

std::wstring TextOf(HWND w) {
  wchar_t buf[512] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, &got);
  return buf;
}

void PostClick(HWND w) {
  PostMessageW(w, WM_LBUTTONDOWN, 0, 0x10001);
  PostMessageW(w, WM_LBUTTONUP, 0, 0x10001);
}

// Runs a pack as the launcher does: written as "vsn.exe" in the folder, run
// hidden with the folder as current folder, waited for.
DWORD RunPack(const TempDir& dir, const std::string& bytes, bool truncate = true) {
  WriteAll(dir / L"vsn.exe", bytes, truncate);
  return RunHidden(dir / L"vsn.exe", dir.path());
}

bool NoLeftover(const TempDir& dir) {
  for (const auto& f : Files(dir.path()))
    if (f.rfind(".~sfx", 0) == 0 || f == "vsn.exe") return false;
  return true;
}

std::vector<std::string> WithoutLeftover(std::vector<std::string> files) {
  std::erase_if(files, [](const std::string& f) { return f.rfind(".~sfx", 0) == 0; });
  return files;
}

const std::vector<std::string> kFixtureFiles = {"empty.dat", "hello.txt", "sub\\deeper\\data.bin",
                                                "中文\\名字.txt"};

// ---- Self-extracting stub -------------------------------------------------

TEST(SfxStub, ExtractsIntoCurrentFolderOverwritingAndRemovesItself) {
  TempDir dir;
  // Existing files are replaced whole, also hidden ones.
  WriteAll(dir / L"hello.txt", std::string(4000, 'x'));
  CreateDirectoryW((dir / L"sub").c_str(), nullptr);
  CreateDirectoryW((dir / L"sub\\deeper").c_str(), nullptr);
  WriteAll(dir / L"sub\\deeper\\data.bin", "old");
  SetFileAttributesW((dir / L"sub\\deeper\\data.bin").c_str(), FILE_ATTRIBUTE_HIDDEN);
  // What a killed earlier run left behind goes too.
  WriteAll(dir / L".~sfx0000dead0000beef.tmp", "stale");
  SetFileAttributesW((dir / L".~sfx0000dead0000beef.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN);

  ASSERT_EQ(RunPack(dir, ReadAll(Fixture(L"good.exe"))), static_cast<DWORD>(SFX_OK));
  // The original name is free as soon as the process has ended.
  EXPECT_FALSE(Exists(dir / L"vsn.exe"));
  EXPECT_EQ(WithoutLeftover(Files(dir.path())), kFixtureFiles);
  EXPECT_EQ(ReadAll(dir / L"hello.txt"), "hello from the pack\r\n");
  EXPECT_EQ(ReadAll(dir / L"empty.dat"), "");
  std::string bin;
  for (int r = 0; r < 5; ++r)
    for (int b = 0; b < 256; ++b) bin.push_back(static_cast<char>(b));
  EXPECT_EQ(ReadAll(dir / L"sub\\deeper\\data.bin"), bin);
  EXPECT_EQ(ReadAll(dir / L"中文\\名字.txt"), "中文内容\r\n");
  // The renamed copy is deleted a little later by the helper it started.
  EXPECT_TRUE(WaitFor([&] { return NoLeftover(dir); }, 15000)) << "archive file left behind";
}

TEST(SfxStub, ExtractsFilesWhoseFoldersComeInAnyOrder) {
  TempDir dir;
  ASSERT_EQ(RunPack(dir, ReadAll(Fixture(L"scattered.exe"))), static_cast<DWORD>(SFX_OK));
  EXPECT_EQ(WithoutLeftover(Files(dir.path())),
            (std::vector<std::string>{"a\\2.txt", "a\\6.txt", "a\\b\\3.txt", "a\\b\\5.txt", "ab\\1.txt",
                                      "c\\d\\4.txt", "中文\\子\\7.txt"}));
  EXPECT_EQ(ReadAll(dir / L"中文\\子\\7.txt"), "hello from the pack\r\n");
}

TEST(SfxStub, FindsItsArchiveWhenWrittenOverALongerFile) {
  TempDir dir;
  // A longer pack ran before and its file survived; the shorter one is
  // written over it from the first byte without truncation.
  WriteAll(dir / L"vsn.exe", ReadAll(Payload(L"VSN2.exe")));
  ASSERT_EQ(RunPack(dir, ReadAll(Fixture(L"good.exe")), /*truncate=*/false), static_cast<DWORD>(SFX_OK));
  EXPECT_EQ(WithoutLeftover(Files(dir.path())), kFixtureFiles);
}

TEST(SfxStub, EndsWithTheExitCodeItsMarkerGivesAfterExtracting) {
  // Warnings only and failures as real archives report them; the marker is no file.
  for (DWORD code : {0u, 1u, 2u, 255u}) {
    SCOPED_TRACE(code);
    TempDir dir;
    EXPECT_EQ(RunPack(dir, ReadAll(Fixture(L"exit_" + std::to_wstring(code) + L".exe"))), code);
    EXPECT_EQ(WithoutLeftover(Files(dir.path())), kFixtureFiles);
    EXPECT_TRUE(WaitFor([&] { return NoLeftover(dir); }, 15000)) << "archive file left behind";
  }
}

struct BadPack {
  const char* name;
  std::wstring fixture;
  int damage;  // 0 none, 1 flip a byte inside the archive, 2 cut the footer short
  DWORD exit_code;
};
void PrintTo(const BadPack& c, std::ostream* os) { *os << c.name; }

class SfxStubRefuses : public ::testing::TestWithParam<BadPack> {};

TEST_P(SfxStubRefuses, WritesNothingAndFails) {
  const BadPack& c = GetParam();
  TempDir root;
  CreateDirectoryW((root / L"game").c_str(), nullptr);
  std::string bytes = ReadAll(Fixture(c.fixture));
  ASSERT_GT(bytes.size(), static_cast<size_t>(SFX_FOOTER_LEN));
  if (c.damage == 1) {
    const unsigned char* f = reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size() - SFX_FOOTER_LEN;
    uint32_t off = f[8] | f[9] << 8 | f[10] << 16 | static_cast<uint32_t>(f[11]) << 24;
    bytes[off + 40] ^= 0x5A;
  } else if (c.damage == 2) {
    bytes.resize(bytes.size() - 7);
  }
  std::wstring game = root / L"game";
  WriteAll(game + L"\\vsn.exe", bytes);
  EXPECT_EQ(RunHidden(game + L"\\vsn.exe", game), c.exit_code);
  EXPECT_FALSE(Exists(game + L"\\vsn.exe")) << "a refused pack still removes itself";
  EXPECT_EQ(WithoutLeftover(Files(game)), std::vector<std::string>{});
  EXPECT_FALSE(Exists(root / L"escaped.txt"));
  EXPECT_FALSE(Exists(L"C:\\escaped.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SfxStubRefuses,
    ::testing::Values(BadPack{"corrupt", L"good.exe", 1, SFX_ERR_CORRUPT},
                      BadPack{"truncated", L"good.exe", 2, SFX_ERR_CORRUPT},
                      BadPack{"dotdot", L"dotdot.exe", 0, SFX_ERR_PATH},
                      BadPack{"nested_dotdot", L"nested_dotdot.exe", 0, SFX_ERR_PATH},
                      BadPack{"rooted", L"rooted.exe", 0, SFX_ERR_PATH},
                      BadPack{"drive", L"drive.exe", 0, SFX_ERR_PATH},
                      BadPack{"trailing_dots", L"trailing_dots.exe", 0, SFX_ERR_PATH}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SfxStub, ReadOnlyTargetFails) {
  TempDir dir;
  WriteAll(dir / L"hello.txt", "old");
  SetFileAttributesW((dir / L"hello.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(RunPack(dir, ReadAll(Fixture(L"good.exe"))), static_cast<DWORD>(SFX_ERR_WRITE));
  EXPECT_EQ(ReadAll(dir / L"hello.txt"), "old");
  EXPECT_FALSE(Exists(dir / L"vsn.exe"));
}

// ---- Payloads ---------------------------------------------------------------

struct Layout {
  uint32_t hp1, time4, players, round8, code, hidden;
};
constexpr Layout kLayoutA{0x1C743C, 0x1C7490, 0x1C7484, 0x1C7458, 0x3AB5E, 0xB6595};
constexpr Layout kLayoutB{0x1C744C, 0x1C74A0, 0x1C7494, 0x1C7468, 0x3AAAE, 0xB66F5};

std::string At(const std::string& file, uint32_t off, size_t n) {
  return off + n <= file.size() ? file.substr(off, n) : "<past end>";
}

// The files a pack carries, read straight from its bytes (sfx_format.h), sorted by path.
std::vector<std::pair<std::string, std::string>> PackFiles(const std::string& pack) {
  auto u32 = [&](size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(pack.data()) + at;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
  };
  std::vector<std::pair<std::string, std::string>> files;
  if (pack.size() < SFX_FOOTER_LEN) return files;
  const size_t archive = u32(pack.size() - SFX_FOOTER_LEN + 8);
  const uint32_t count = u32(archive + SFX_MAGIC_LEN);
  size_t pos = archive + SFX_MAGIC_LEN + 4;
  for (uint32_t i = 0; i < count && pos + 2 < pack.size(); ++i) {
    size_t plen = static_cast<unsigned char>(pack[pos]) | static_cast<unsigned char>(pack[pos + 1]) << 8;
    std::string path = pack.substr(pos + 2, plen);
    uint32_t size = u32(pos + 2 + plen);
    files.emplace_back(path, pack.substr(pos + 6 + plen, size));
    pos += 6 + plen + size;
  }
  std::sort(files.begin(), files.end());
  return files;
}

class VersionPack : public ::testing::TestWithParam<int> {};

TEST_P(VersionPack, InstallsTheGameOfItsLayout) {
  const int v = GetParam();
  const Layout& lay = v == 2 ? kLayoutB : kLayoutA;
  TempDir dir;
  const std::string pack = ReadAll(Payload(L"VSN" + std::to_wstring(v) + L".exe"));
  ASSERT_EQ(RunPack(dir, pack), static_cast<DWORD>(SFX_OK));

  // The game-shaped tree, every file of it as packed and nothing else.
  const auto packed = PackFiles(pack);
  EXPECT_EQ(packed.size(), v == 2 ? 1343u : 1342u);
  std::vector<std::string> names;
  size_t bytes = 0;
  for (const auto& [path, data] : packed) {
    names.push_back(path);
    bytes += data.size();
    EXPECT_TRUE(ReadAll(dir / Wide(path)) == data) << path;
  }
  EXPECT_EQ(WithoutLeftover(Files(dir.path())), names);
  EXPECT_GT(bytes, 4'500'000u) << "Tovren.exe and about 3 MB of data";

  std::string exe = ReadAll(dir / L"Tovren.exe");
  EXPECT_EQ(exe.size(), 0x1C8000u);
  EXPECT_EQ(At(exe, lay.code, 2), "\x75\x07");
  EXPECT_EQ(At(exe, lay.hidden, 2), "\x75\x1F");
  EXPECT_EQ(At(exe, lay.hp1, 4), std::string("50%\0", 4));
  EXPECT_EQ(At(exe, lay.hp1 - 8, 8), std::string("100%\0\0\0\0", 8));
  EXPECT_EQ(At(exe, lay.time4, 4), std::string("10\0\0", 4));
  EXPECT_EQ(At(exe, lay.players, 4), std::string("16\0\0", 4));
  EXPECT_EQ(At(exe, lay.round8, 4), std::string("OO\0\0", 4));

  std::string res = ReadAll(dir / L"Tovren.res");
  ASSERT_GE(res.size(), 0xF0A7u);
  const int tracks[22] = {2, 2, 3, 5, 7, 5, 8, 8, 8, 9, 9, 1, 4, 1, 6, 6, 7, 5, 4, 7, 10, 5};
  for (int k = 0; k < 22; ++k) {
    uint32_t rec = k < 21 ? 0xEA43 + 77 * k : 0xF096;
    EXPECT_EQ(At(res, rec, 4), std::string("\x0B\0\0\0", 4)) << "scene " << k + 1;
    EXPECT_EQ(At(res, rec + 16, 4), std::string(1, static_cast<char>(tracks[k])) + std::string(3, '\0'))
        << "scene " << k + 1;
  }
  for (int n = 1; n <= 22; ++n) {
    wchar_t name[16];
    swprintf(name, 16, L"sn%02d.pak", n);
    EXPECT_TRUE(Exists(dir / name)) << n;
  }
  for (int n = 1; n <= 10; ++n) EXPECT_TRUE(Exists(dir / (L"music\\s" + std::to_wstring(n) + L".mp3"))) << n;
  EXPECT_EQ(Exists(dir / L"sn22\\sn22.pvb"), v == 2);
  EXPECT_EQ(ReadAll(dir / L"data\\version.txt"), "Tovren version " + std::to_string(v) + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionPack, ::testing::Values(1, 2, 3));

TEST(EffectPacks, HoldDifferentTextures) {
  TempDir on, off;
  ASSERT_EQ(RunPack(on, ReadAll(Payload(L"SOE_ON.exe"))), static_cast<DWORD>(SFX_OK));
  ASSERT_EQ(RunPack(off, ReadAll(Payload(L"SOE_OFF.exe"))), static_cast<DWORD>(SFX_OK));
  EXPECT_EQ(WithoutLeftover(Files(on.path())), std::vector<std::string>{"texture\\effect.tex"});
  std::string a = ReadAll(on / L"texture\\effect.tex"), b = ReadAll(off / L"texture\\effect.tex");
  EXPECT_EQ(a.size(), b.size());
  EXPECT_NE(a, b);
}

// ---- Game, config tool, IP tool ---------------------------------------------

std::vector<std::wstring> GameLines(HWND w) {
  std::vector<std::wstring> lines;
  for (int i = 0; i < 6; ++i) lines.push_back(TextOf(GetDlgItem(w, 100 + i)));
  return lines;
}

TEST(Game, ShowsTheTextsAndCodeBytesOfItsOwnFile) {
  TempDir dir;
  ASSERT_EQ(RunPack(dir, ReadAll(Payload(L"VSN2.exe"))), static_cast<DWORD>(SFX_OK));
  // A patch as the launcher writes it: HP value 1, the player count, both code bytes.
  std::string exe = ReadAll(dir / L"Tovren.exe");
  exe.replace(kLayoutB.hp1, 4, std::string("80%\0", 4));
  exe.replace(kLayoutB.players, 4, std::string("8\0\0\0", 4));
  exe.replace(kLayoutB.code, 2, "\x90\x90");
  exe[kLayoutB.hidden] = '\x71';
  WriteAll(dir / L"Tovren.exe", exe);

  Proc game(Start(dir / L"Tovren.exe", dir.path(), SW_SHOWNORMAL));
  ASSERT_TRUE(game);
  HWND w = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (w = FindOwnWindow(L"Tovren", game.pid())) != nullptr; }));
  EXPECT_EQ(GameLines(w), (std::vector<std::wstring>{
                              L"Layout: B (version 2)", L"HP: 80% 100% 150% 200% 300%", L"Time: 1 3 5 10 15",
                              L"Rounds: 1 3 5 9 15 21 27 OO", L"Players: 8", L"Code: 90 90 / 71"}));
  RECT r{};
  GetClientRect(w, &r);
  EXPECT_EQ(r.right, 640);
  EXPECT_EQ(r.bottom, 480);
  PostMessageW(w, WM_CLOSE, 0, 0);
  EXPECT_EQ(game.Wait(10000), 0u);
}

TEST(ConfigTool, WritesWindowedConfigAndStartsTheGame) {
  TempDir dir;
  ASSERT_EQ(RunPack(dir, ReadAll(Payload(L"VSN1.exe"))), static_cast<DWORD>(SFX_OK));
  WriteAll(dir / L"config.exe", ReadAll(Payload(L"CONFIG.exe")));
  WriteAll(dir / L"config.ini", std::string(500, '#'));  // replaced whole

  HANDLE p = Start(dir / L"config.exe", dir.path(), SW_SHOWNORMAL);
  ASSERT_EQ(WaitExit(p), 0u);
  EXPECT_EQ(ReadAll(dir / L"config.ini"),
            "Width 640\r\nHeight 480\r\nColorDepth 16\r\nRefresh 60\r\nSound 1\r\nMusic 1\r\nFullScreen 0\r\n");

  HWND w = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (w = FindWindowW(nullptr, L"Tovren")) != nullptr; }));
  Proc game = Proc::Of(w);
  EXPECT_EQ(lstrcmpiW(game.image().c_str(), (dir / L"Tovren.exe").c_str()), 0) << Utf8(game.image());
  EXPECT_EQ(GameLines(w)[0], L"Layout: A (versions 1, 3)");
  PostMessageW(w, WM_CLOSE, 0, 0);
  EXPECT_EQ(game.Wait(10000), 0u);
}

TEST(IpTool, TakesAnAddressAndAPostedClickAndShowsPoint) {
  TempDir dir;
  CreateDirectoryW((dir / L"zarnu").c_str(), nullptr);
  WriteAll(dir / L"zarnu\\Zarnu_IP.exe", ReadAll(Payload(L"ZARNU_IP.exe")));
  // Started hidden, as the launcher starts it.
  Proc tool(Start(dir / L"zarnu\\zarnu_ip.exe", dir.path(), SW_HIDE));
  ASSERT_TRUE(tool);
  DWORD pid = tool.pid();
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (main = FindOwnWindow(L"zarnu_ip", pid)) != nullptr; }));
  HWND start = FindWindowExW(main, nullptr, nullptr, L"start");
  HWND edit = FindWindowExW(main, nullptr, nullptr, L"255.255.255.255");
  ASSERT_TRUE(start);
  ASSERT_TRUE(edit);

  for (const char* address : {"10.20.30.40", "192.0.2.7"}) {
    DWORD_PTR r = 0;
    ASSERT_TRUE(SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(address), SMTO_ABORTIFHUNG,
                                    5000, &r));
    PostClick(start);
    HWND point = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (point = FindOwnWindow(L"point", pid)) != nullptr; }));
    HWND ok = FindWindowExW(point, nullptr, nullptr, L"确定");
    ASSERT_TRUE(ok);
    PostClick(ok);
    ASSERT_TRUE(WaitFor([&] { return FindOwnWindow(L"point", pid) == nullptr; }));
  }
  EXPECT_EQ(ReadAll(dir / L"zarnu\\zarnu_ip.log"),
            "started\r\n10.20.30.40\r\nconfirm\r\n192.0.2.7\r\nconfirm\r\n");
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(tool.Wait(10000), 0u);
}

}  // namespace
