// The online services on the real Win32 backend under Wine: WinHTTP against a server in
// the test, the hidden browser's submission, the driver typing into the real IP tool
// stand-in, KillProcessByName and the cursor clip.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#undef PostMessage

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/paths.h"
#include "core/settings.h"
#include "launch/launch_host.h"
#include "launch/start_play.h"
#include "online/fetch.h"
#include "online/monitor.h"
#include "online/online_services.h"
#include "online/submitter.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace tovren::online {
namespace {

using win32::Utf8;
using win32::Wide;

// --- a small HTTP server on 127.0.0.1 ------------------------------------------------------
class LocalServer {
 public:
  struct Page {
    int status = 200;
    std::string body;
    std::string headers;  // extra header lines, each ending in CR LF
  };
  struct Seen {
    std::string method, path, headers, body;
  };

  LocalServer() {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = Listen(port_);
    silent_ = Listen(silentPort_);  // never accepted: a server that never answers
    thread_ = std::thread([this] { Serve(); });
  }
  ~LocalServer() {
    stopping_ = true;
    closesocket(listener_);
    thread_.join();
    closesocket(silent_);
    WSACleanup();
  }
  void Serve(const std::string& path, Page page) {
    std::lock_guard<std::mutex> lock(mutex_);
    pages_[path] = std::move(page);
  }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& path) const { return "http://" + Host() + path; }
  std::string SilentUrl() const { return "http://127.0.0.1:" + std::to_string(silentPort_) + "/"; }
  std::vector<Seen> To(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Seen> out;
    for (const auto& s : seen_)
      if (s.path == path) out.push_back(s);
    return out;
  }

 private:
  static SOCKET Listen(int& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(s, 8);
    int len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return s;
  }
  void Serve() {
    while (!stopping_) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      Answer(client);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }
  void Answer(SOCKET client) {
    std::string data;
    char buf[4096];
    size_t end = std::string::npos;
    while (end == std::string::npos) {
      int n = recv(client, buf, sizeof buf, 0);
      if (n <= 0) return;
      data.append(buf, static_cast<size_t>(n));
      end = data.find("\r\n\r\n");
    }
    std::string head = data.substr(0, end + 2);
    std::string body = data.substr(end + 4);
    size_t length = 0;
    std::string lower = head;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (size_t at = lower.find("content-length:"); at != std::string::npos)
      length = std::stoul(head.substr(at + 15));
    while (body.size() < length) {
      int n = recv(client, buf, sizeof buf, 0);
      if (n <= 0) break;
      body.append(buf, static_cast<size_t>(n));
    }
    std::istringstream line(head);
    Seen seen;
    line >> seen.method >> seen.path;
    seen.path = seen.path.substr(0, seen.path.find('?'));
    seen.headers = head;
    seen.body = body;
    Page page{404, "Not Found", ""};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back(seen);
      if (auto it = pages_.find(seen.path); it != pages_.end()) page = it->second;
    }
    std::string answer = "HTTP/1.1 " + std::to_string(page.status) + " X\r\nContent-Length: " +
                         std::to_string(page.body.size()) + "\r\nConnection: close\r\n" +
                         page.headers + "\r\n" + page.body;
    send(client, answer.data(), static_cast<int>(answer.size()), 0);
  }

  SOCKET listener_ = INVALID_SOCKET, silent_ = INVALID_SOCKET;
  int port_ = 0, silentPort_ = 0;
  std::thread thread_;
  volatile bool stopping_ = false;
  std::mutex mutex_;
  std::map<std::string, Page> pages_;
  std::vector<Seen> seen_;
};

// --- helpers ----------------------------------------------------------------------------
std::string LauncherFolder() {
  win32::Win32System system;
  return core::LauncherFolder(system);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(Wide(path).c_str(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(Wide(path).c_str(), std::ios::binary) << text;
}

std::string Helper() { return core::JoinPath(LauncherFolder(), "online_window_helper.exe"); }

// Lets the messages of the user-interface thread run until done() or the time is up.
bool PumpUntil(platform::Loop& loop, const std::function<bool()>& done, int ms = 8000) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    loop.PumpPending();
    Sleep(10);
  }
  return true;
}

bool WaitFor(const std::function<bool()>& done, int ms = 8000) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    Sleep(20);
  }
  return true;
}

HANDLE StartProgram(const std::string& path, const std::string& arguments = "") {
  std::wstring command = L"\"" + Wide(path) + L"\"" + (arguments.empty() ? L"" : L" " + Wide(arguments));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

void EndEveryTool() {
  win32::Win32Platform platform;
  core::Settings settings;
  动态 monitor(platform.Get(), settings);
  monitor.KillProcessByName("zarnu_ip.exe");
  WaitFor([] { return FindWindowW(nullptr, L"zarnu_ip") == nullptr; }, 5000);
}

// --- WinHTTP ----------------------------------------------------------------------------
TEST(OnlineWine, FetchTextOverWinHttp) {
  LocalServer server;
  server.Serve("/za/net/1/1/data.asp", {200, "\xEF\xBB\xBF" "10.0.0.1\r\n玩家\r\n", ""});
  server.Serve("/big", {200, std::string(64, 'x'), ""});
  win32::Win32Http http;
  EXPECT_EQ(FetchText(http, "  " + server.Url("/za/net/1/1/data.asp") + " "), "10.0.0.1\r\n玩家\r\n");
  EXPECT_THROW(FetchText(http, server.Url("/missing")), FetchError);
  // A list the server moved: WinHTTP hands the redirect over, the fetcher follows it.
  server.Serve("/moved", {302, "", "Location: /za/net/1/1/data.asp\r\n"});
  EXPECT_EQ(FetchText(http, server.Url("/moved")), "10.0.0.1\r\n玩家\r\n");
  RequestLimits small;
  small.maxBodyBytes = 63;
  EXPECT_THROW(FetchText(http, server.Url("/big"), small), FetchError);

  RequestLimits quick;
  quick.connectTimeoutMs = 500;
  quick.totalTimeoutMs = 1000;
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(FetchText(http, server.SilentUrl(), quick), FetchError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
}

// --- the submitter through WinHTTP, the worker and the message loop ---------------------
TEST(OnlineWine, TheSubmitterRegistersAMissingAddressOnce) {
  LocalServer server;
  server.Serve("/ip/ip.asp", {200, "<html><body>10.9.8.7</body></html>", "Content-Type: text/html\r\n"});
  server.Serve("/za/net/1/1/index.asp",
               {200,
                "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=gb2312\">"
                "</head><body><form method=post action=reg.asp><input type=hidden name=list value=1>"
                "<input type=submit name=Submit value=\"\xCC\xE1\xBD\xBB\"></form></body></html>",
                "Content-Type: text/html\r\nSet-Cookie: SID=w1; path=/\r\n"});
  server.Serve("/za/net/1/1/reg.asp", {200, "ok", ""});

  win32::Win32Platform platform;
  core::Settings settings;
  MonitorOptions options;
  options.webHost = server.Host();
  动态 monitor(platform.Get(), settings, options);
  monitor.Create();
  ASSERT_TRUE(PumpUntil(platform.loop, [&] { return monitor.WebIP.BodyText().has_value(); }));
  EXPECT_EQ(monitor.WebIP.BodyText(), "10.9.8.7");

  提交 submitter(platform.Get(), monitor);
  monitor.IP.Set("10.0.0.1\r\n10.0.0.2");
  submitter.Open(monitor.RegistrationPage(1));
  EXPECT_TRUE(submitter.IsOpen());
  EXPECT_NE(FindWindowW(nullptr, L"提交"), nullptr);
  ASSERT_TRUE(PumpUntil(platform.loop, [&] {
    return !submitter.IsOpen() && !server.To("/za/net/1/1/reg.asp").empty();
  }));
  auto posts = server.To("/za/net/1/1/reg.asp");
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].method, "POST");
  EXPECT_EQ(posts[0].body, "list=1&Submit=%CC%E1%BD%BB");
  EXPECT_NE(posts[0].headers.find("Cookie: SID=w1"), std::string::npos) << posts[0].headers;

  // Listed now: a second open sends nothing.
  monitor.IP.Set("10.0.0.1\r\n10.9.8.7");
  submitter.Open(monitor.RegistrationPage(1));
  ASSERT_TRUE(PumpUntil(platform.loop, [&] { return !submitter.IsOpen(); }));
  Sleep(200);
  EXPECT_EQ(server.To("/za/net/1/1/reg.asp").size(), 1u);
  monitor.Close();
}

// --- the driver and the real IP tool ----------------------------------------------------
class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EndEveryTool();
    log = core::JoinPath(LauncherFolder(), "zarnu\\zarnu_ip.log");
    DeleteFileW(Wide(log).c_str());
  }
  void TearDown() override { EndEveryTool(); }
  std::string log;
};

TEST_F(ToolTest, TheDriverTypesEachAddressIntoTheToolAndConfirmsPoint) {
  win32::Win32Platform platform;
  core::Settings settings;
  动态 monitor(platform.Get(), settings);
  ASSERT_EQ(GetFileAttributesW(Wide(monitor.ToolPath()).c_str()) == INVALID_FILE_ATTRIBUTES, false)
      << monitor.ToolPath();
  monitor.IP.Set("10.0.0.1\r\n10.0.0.2");
  monitor.ApplyNextIp();  // counts
  EXPECT_EQ(monitor.行数.Text(), "2");
  EXPECT_EQ(FindWindowW(nullptr, L"zarnu_ip"), nullptr);
  monitor.ApplyNextIp();  // starts the tool, waits for it, applies 10.0.0.2
  HWND tool = FindWindowW(nullptr, L"zarnu_ip");
  ASSERT_NE(tool, nullptr);
  EXPECT_FALSE(IsWindowVisible(tool));  // started hidden
  EXPECT_EQ(monitor.句柄[0].Text(), std::to_string(reinterpret_cast<std::uintptr_t>(tool)));
  ASSERT_TRUE(WaitFor([&] { return ReadFile(log).find("confirm") != std::string::npos; }))
      << ReadFile(log);
  monitor.ApplyNextIp();  // 10.0.0.1, through the stored handles
  ASSERT_TRUE(WaitFor([&] { return ReadFile(log) == "started\r\n10.0.0.2\r\nconfirm\r\n10.0.0.1\r\nconfirm\r\n"; }))
      << ReadFile(log);
  // The tool logs the confirm press, then closes its box.
  EXPECT_TRUE(WaitFor([] { return FindWindowW(nullptr, L"point") == nullptr; }, 3000));

  // Closing the monitor ends the tool.
  monitor.Create();
  monitor.Close();
  EXPECT_TRUE(WaitFor([] { return FindWindowW(nullptr, L"zarnu_ip") == nullptr; }, 5000));
}

TEST_F(ToolTest, KillProcessByNameEndsTheToolWhateverTheCaseOfItsName) {
  win32::Win32Platform platform;
  core::Settings settings;
  动态 monitor(platform.Get(), settings);
  std::vector<HANDLE> running;
  int n = 0;
  for (const char* name : {"ZARNU_IP.EXE", "Zarnu_Ip.exe"}) {
    // One folder each: the two names are one file name to Windows.
    const std::string folder = core::JoinPath(LauncherFolder(), "kill-" + std::to_string(++n));
    CreateDirectoryW(Wide(folder).c_str(), nullptr);
    std::string copy = core::JoinPath(folder, name);
    ASSERT_TRUE(CopyFileW(Wide(monitor.ToolPath()).c_str(), Wide(copy).c_str(), FALSE)) << copy;
    HANDLE h = StartProgram(copy);
    ASSERT_NE(h, nullptr);
    running.push_back(h);
  }
  // Both are listed under the names they were started with.
  ASSERT_TRUE(WaitFor([&] {
    int seen = 0;
    for (const auto& p : platform.processes.List())
      if (p.exeName == "ZARNU_IP.EXE" || p.exeName == "Zarnu_Ip.exe") ++seen;
    return seen == 2;
  }));
  monitor.KillProcessByName("zarnu_ip.exe");
  for (HANDLE h : running) {
    EXPECT_EQ(WaitForSingleObject(h, 5000), WAIT_OBJECT_0);
    CloseHandle(h);
  }
}

// --- the whole road: F9, F8 and a start press with switches 5, 6 and 7 ---------------------
// The keys as the player presses them; everything else is the real platform.
class ScriptedKeys : public platform::Keys {
 public:
  bool WasPressed(int key) override { return taps.erase(key) > 0; }
  std::set<int> taps;
};

class QuietHost : public launch::LaunchHost {
 public:
  void ShowButtonPicture(int, const std::string&) override {}
  void HideMainWindows() override {}
  void ShowMainWindows() override {}
  void CloseMain() override {}
  void SetStatus(const std::string&) override {}
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> messages;
};

std::string RegistrationPage(int list) {
  return "<html><body><form method=post action=reg.asp><input type=hidden name=list value=" +
         std::to_string(list) + "><input type=submit name=Submit value=ok></form></body></html>";
}

TEST_F(ToolTest, HotKeysAndAStartPressDriveTheListTheToolAndTheRegistration) {
  LocalServer server;
  server.Serve("/za/net/1/1/data.asp", {200, "10.0.1.1\r\n\r\n10.0.1.2\r\n", ""});
  server.Serve("/za/net/2/1/data.asp", {200, "10.0.1.2\r\n 10.0.2.3", ""});
  server.Serve("/ip/ip.asp", {200, "10.0.9.9", "Content-Type: text/html\r\n"});
  for (int list : {1, 2}) {
    const std::string base = "/za/net/" + std::to_string(list) + "/1/";
    server.Serve(base + "index.asp", {200, RegistrationPage(list), "Content-Type: text/html\r\n"});
    server.Serve(base + "reg.asp", {200, "ok", ""});
  }
  // The config tool the start press starts: any program that ends at once will do.
  const std::string configTool = core::JoinPath(LauncherFolder(), "config.exe");
  ASSERT_TRUE(CopyFileW(Wide(Helper()).c_str(), Wide(configTool).c_str(), FALSE));

  win32::Win32Platform w;
  ScriptedKeys keys;
  platform::Platform p{w.files, w.resources, w.processes, w.registry, w.http, w.desktop,
                       w.timers, keys, w.loop, w.clock, w.worker, w.system};
  core::Settings settings;
  for (int i : {4, 5, 6}) settings.复选框辅助[static_cast<size_t>(i)].Set("1");
  MonitorOptions options;
  options.webHost = server.Host();
  动态 monitor(p, settings, options);
  提交 submitter(p, monitor);
  OnlineServices online(monitor, submitter);
  monitor.Create();
  ASSERT_TRUE(PumpUntil(w.loop, [&] { return monitor.WebIP.BodyText().has_value(); }));

  // F9: both lists, first list first, each address once.
  keys.taps.insert(platform::kVkF9);
  ASSERT_TRUE(PumpUntil(w.loop, [&] { return keys.taps.empty(); }));
  EXPECT_EQ(monitor.IP.Text(), "10.0.1.1\r\n10.0.1.2\r\n 10.0.2.3");

  // F8: a counting press, then the list from its end into the tool.
  for (const char* counter : {"3", "2", "1", "0"}) {
    keys.taps.insert(platform::kVkF8);
    ASSERT_TRUE(PumpUntil(w.loop, [&] { return monitor.行数.Text() == counter; })) << counter;
  }
  ASSERT_TRUE(WaitFor([&] {
    return ReadFile(log) ==
           "started\r\n 10.0.2.3\r\nconfirm\r\n10.0.1.2\r\nconfirm\r\n10.0.1.1\r\nconfirm\r\n";
  })) << ReadFile(log);

  // A start press: both lists again, the registration page of each; the second one,
  // which supersedes the first, registers the missing address once.
  QuietHost host;
  launch::LaunchServices services = launch::LaunchServices::From(p);
  launch::StartPlay(services, settings, online, host, LauncherFolder());
  ASSERT_TRUE(PumpUntil(w.loop, [&] { return !submitter.IsOpen(); }));
  Sleep(300);
  PumpUntil(w.loop, [] { return false; }, 300);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(server.To("/za/net/1/1/reg.asp").size() + server.To("/za/net/2/1/reg.asp").size(), 1u);
  ASSERT_EQ(server.To("/za/net/2/1/reg.asp").size(), 1u);
  EXPECT_EQ(server.To("/za/net/2/1/reg.asp")[0].body, "list=2&Submit=ok");

  // The own address in a list now: a second start registers nothing.
  server.Serve("/za/net/2/1/data.asp", {200, "10.0.9.9\r\n", ""});
  launch::StartPlay(services, settings, online, host, LauncherFolder());
  ASSERT_TRUE(PumpUntil(w.loop, [&] { return !submitter.IsOpen(); }));
  PumpUntil(w.loop, [] { return false; }, 300);
  EXPECT_EQ(server.To("/za/net/1/1/reg.asp").size() + server.To("/za/net/2/1/reg.asp").size(), 1u);

  monitor.Close();
  DeleteFileW(Wide(configTool).c_str());
}

// --- the cursor lock --------------------------------------------------------------------
// The clip as another program sees it (this Wine keeps a clip for a window of another
// process without confining the pointer; the caller's own view is not what counts).
// With `during`, the helper watches for a clip while during() runs, instead of looking once.
RECT ClipSeenByHelper(const std::function<void()>& during = nullptr) {
  const std::string file = core::JoinPath(LauncherFolder(), "clip.txt");
  DeleteFileW(Wide(file).c_str());
  HANDLE h = StartProgram(Helper(), during ? "watch \"" + file + "\" 2000" : "clip \"" + file + "\"");
  RECT r{-1, -1, -1, -1};
  if (!h) return r;
  if (during) during();
  WaitForSingleObject(h, 10000);
  CloseHandle(h);
  std::istringstream(ReadFile(file)) >> r.left >> r.top >> r.right >> r.bottom;
  DeleteFileW(Wide(file).c_str());
  return r;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

TEST(OnlineWine, TheCursorLockClipsToTheGameWindowFoundByTitle) {
  const std::string config = core::JoinPath(LauncherFolder(), "config.ini");
  WriteFile(config, "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\nFullScreen 0\r\n");
  HANDLE gameProcess = StartProgram(Helper(), "window Tovren 200 150 320 240");
  ASSERT_NE(gameProcess, nullptr);
  ASSERT_TRUE(WaitFor([] { return FindWindowW(nullptr, L"Tovren") != nullptr; }));
  HWND game = FindWindowW(nullptr, L"Tovren");
  RECT expected{};
  GetClientRect(game, &expected);
  POINT origin{0, 0};
  ClientToScreen(game, &origin);
  OffsetRect(&expected, origin.x, origin.y);
  EXPECT_EQ(expected.right - expected.left, 320);

  win32::Win32Platform platform;
  core::Settings settings;
  动态 monitor(platform.Get(), settings);
  monitor.窗口.Set("Tovren");
  // The clip is set anew on every tick, as the 300 ms timer does: Wine drops a clip when
  // the new window's activation arrives after it, and the next tick puts it back.
  std::string seen;
  WaitFor([&] { return GetForegroundWindow() == game; }, 2000);
  for (int attempt = 0; attempt < 5 && seen != Text(expected); ++attempt) {
    seen = Text(ClipSeenByHelper([&] {
      for (int tick = 0; tick < 5; ++tick) {
        Sleep(300);
        monitor.Tick窗口时钟();
      }
    }));
  }
  EXPECT_EQ(monitor.配置.Text(), "FullScreen 0");
  EXPECT_EQ(seen, Text(expected));

  // The game gone, its title still in 窗口: the pointer is free again.
  TerminateProcess(gameProcess, 0);
  WaitForSingleObject(gameProcess, 5000);
  CloseHandle(gameProcess);
  ASSERT_TRUE(WaitFor([] { return FindWindowW(nullptr, L"Tovren") == nullptr; }));
  monitor.Tick窗口时钟();
  RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
  screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  EXPECT_EQ(Text(ClipSeenByHelper()), Text(screen));
  DeleteFileW(Wide(config).c_str());
  ClipCursor(nullptr);
}

}  // namespace
}  // namespace tovren::online
