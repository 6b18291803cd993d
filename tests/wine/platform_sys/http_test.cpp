#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/win32/http.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tovren::win32::test {
namespace {

using platform::HttpError;
using platform::HttpRequest;

bool SendAll(SOCKET s, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    int n = send(s, data.data() + done, static_cast<int>(data.size() - done), 0);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// A one-thread HTTP server on 127.0.0.1 that hands each request to the test's responder
// and records what arrived.
class TestServer {
 public:
  // Writes the answer on the socket (or not); the connection closes when it returns.
  using Responder = std::function<void(SOCKET, const std::string& request)>;

  explicit TestServer(Responder responder) : responder_(std::move(responder)) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(listener_, 8);
    int len = sizeof addr;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Serve(); });
  }

  ~TestServer() {
    SetEvent(stop_);
    closesocket(listener_);
    thread_.join();
    CloseHandle(stop_);
    WSACleanup();
  }

  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  // Blocks a responder until the server goes away: a peer that never answers.
  void WaitForStop() { WaitForSingleObject(stop_, 30000); }
  bool Stopping() { return WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0; }

 private:
  void Serve() {
    for (;;) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::string request;
      char buf[4096];
      size_t headerEnd = std::string::npos;
      size_t need = 0;
      for (;;) {
        if (headerEnd != std::string::npos && request.size() >= need) break;
        int n = recv(client, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<size_t>(n));
        if (headerEnd == std::string::npos && (headerEnd = request.find("\r\n\r\n")) != std::string::npos) {
          size_t length = 0;
          size_t at = request.find("Content-Length: ");
          if (at != std::string::npos && at < headerEnd) length = std::stoul(request.substr(at + 16));
          need = headerEnd + 4 + length;
        }
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
      }
      responder_(client, request);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }

  Responder responder_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  HANDLE stop_ = nullptr;
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

TestServer::Responder Answer(const std::string& status, const std::string& headers, const std::string& body) {
  return [=](SOCKET s, const std::string&) {
    SendAll(s, "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\nConnection: close\r\n" + headers + "\r\n" + body);
  };
}

std::string Text(const platform::Bytes& b) { return std::string(b.begin(), b.end()); }

HttpRequest Get(const std::string& url, int totalMs = 15000) {
  HttpRequest r;
  r.url = url;
  r.connectTimeoutMs = 5000;
  r.totalTimeoutMs = totalMs;
  return r;
}

// Milliseconds the call took, and whether it threw HttpError.
template <class F>
std::pair<ULONGLONG, bool> Timed(F&& f) {
  ULONGLONG start = GetTickCount64();
  bool failed = false;
  try {
    f();
  } catch (const HttpError&) {
    failed = true;
  }
  return {GetTickCount64() - start, failed};
}

TEST(SysHttp, Utf8BodyArrivesExactlyWithStatusAndHeaders) {
  const std::string body = "127.0.0.1\r\n10.0.0.2\r\n版本 复选1";
  TestServer server(Answer("200 OK", "Content-Type: text/plain; charset=utf-8\r\n", body));
  Win32Http http;
  auto response = http.Send(Get(server.Url("/za/net/1/1/data.asp?x=1")));
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(Text(response.body), body);
  bool typed = false;
  for (const auto& [name, value] : response.headers) {
    if (name == "Content-Type") typed = value == "text/plain; charset=utf-8";
  }
  EXPECT_TRUE(typed);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].rfind("GET /za/net/1/1/data.asp?x=1 HTTP/1.1\r\n", 0), 0u);
}

TEST(SysHttp, ErrorStatusesAndRedirectsAreResponses) {
  TestServer notFound(Answer("404 Not Found", "", "missing"));
  Win32Http http;
  auto response = http.Send(Get(notFound.Url("/nothing")));
  EXPECT_EQ(response.status, 404);
  EXPECT_EQ(Text(response.body), "missing");

  // Not followed, and the cookies are the caller's to keep.
  TestServer redirect(Answer("302 Found", "Location: /elsewhere\r\nSet-Cookie: a=1\r\nSet-Cookie: b=2\r\n", ""));
  response = http.Send(Get(redirect.Url("/start")));
  EXPECT_EQ(response.status, 302);
  std::vector<std::string> cookies;
  std::string location;
  for (const auto& [name, value] : response.headers) {
    if (name == "Set-Cookie") cookies.push_back(value);
    if (name == "Location") location = value;
  }
  EXPECT_EQ(cookies, (std::vector<std::string>{"a=1", "b=2"}));
  EXPECT_EQ(location, "/elsewhere");
  http.Send(Get(redirect.Url("/again")));
  auto requests = redirect.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].find("Cookie:"), std::string::npos);
}

TEST(SysHttp, SendsMethodHeadersAndBody) {
  TestServer server(Answer("200 OK", "", "ok"));
  Win32Http http;
  HttpRequest request = Get(server.Url("/za/net/1/1/index.asp"));
  request.method = "POST";
  request.headers = {{"Content-Type", "application/x-www-form-urlencoded"}, {"X-Tovren", "1"}};
  request.body = "ip=10.0.0.2&Submit=1";
  EXPECT_EQ(http.Send(request).status, 200);
  ASSERT_EQ(server.Requests().size(), 1u);
  const std::string got = server.Requests()[0];
  EXPECT_EQ(got.rfind("POST /za/net/1/1/index.asp HTTP/1.1\r\n", 0), 0u);
  EXPECT_NE(got.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"), std::string::npos);
  EXPECT_NE(got.find("\r\nX-Tovren: 1\r\n"), std::string::npos);
  EXPECT_EQ(got.substr(got.size() - request.body.size()), request.body);
}

TEST(SysHttp, BodyCapHoldsWithAndWithoutALength) {
  const std::size_t cap = 64 * 1024;
  const std::string exact(cap, 'x');
  const std::string over(cap + 1, 'x');
  // Without a length the body ends with the connection, so only the reading can stop it.
  auto unsized = [](const std::string& body) {
    return [body](SOCKET s, const std::string&) {
      SendAll(s, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body);
    };
  };
  struct Case {
    const char* name;
    TestServer::Responder responder;
    bool fails;
  } cases[] = {
      {"sized, at the cap", Answer("200 OK", "", exact), false},
      {"sized, over the cap", Answer("200 OK", "", over), true},
      {"unsized, at the cap", unsized(exact), false},
      {"unsized, over the cap", unsized(over), true},
  };
  Win32Http http;
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestServer server(c.responder);
    HttpRequest request = Get(server.Url("/big"));
    request.maxBodyBytes = cap;
    if (c.fails) {
      EXPECT_THROW(http.Send(request), HttpError);
    } else {
      EXPECT_EQ(http.Send(request).body.size(), cap);
    }
  }
}

TEST(SysHttp, ALongBodyFailsWithoutBeingReadToItsEnd) {
  // A server that would send 64 MB: the client stops at the cap and hangs up.
  TestServer server([&](SOCKET s, const std::string&) {
    if (!SendAll(s, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n")) return;
    std::string chunk(64 * 1024, 'y');
    for (int i = 0; i < 1024 && SendAll(s, chunk); ++i) {
    }
  });
  Win32Http http;
  HttpRequest request = Get(server.Url("/huge"));
  request.maxBodyBytes = 256 * 1024;
  EXPECT_THROW(http.Send(request), HttpError);
}

TEST(SysHttp, ClosedPortFailsAtOnce) {
  // A port that was just free: nothing listens there.
  int port = 0;
  {
    TestServer probe(Answer("200 OK", "", ""));
    std::string url = probe.Url("/");
    port = std::stoi(url.substr(url.rfind(':') + 1));
  }
  Win32Http http;
  HttpRequest request = Get("http://127.0.0.1:" + std::to_string(port) + "/", 20000);
  request.connectTimeoutMs = 10000;
  auto [ms, failed] = Timed([&] { http.Send(request); });
  EXPECT_TRUE(failed);
  EXPECT_LT(ms, 5000u) << "a refused connection waited for its time-out";
}

TEST(SysHttp, ServerThatNeverAnswersTimesOut) {
  TestServer server([&](SOCKET, const std::string&) { server.WaitForStop(); });
  Win32Http http;
  auto [ms, failed] = Timed([&] { http.Send(Get(server.Url("/ip/ip.asp"), 800)); });
  EXPECT_TRUE(failed);
  EXPECT_GE(ms, 500u);
  EXPECT_LT(ms, 10000u);
}

TEST(SysHttp, ATrickleOfBytesCannotOutlastTheTotalTimeOut) {
  // Every read gets a byte before its own time-out; only the whole-request limit ends it.
  TestServer server([&](SOCKET s, const std::string&) {
    if (!SendAll(s, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n")) return;
    for (int i = 0; i < 200 && !server.Stopping(); ++i) {
      if (!SendAll(s, "z")) return;
      Sleep(100);
    }
  });
  Win32Http http;
  auto [ms, failed] = Timed([&] { http.Send(Get(server.Url("/slow"), 1000)); });
  EXPECT_TRUE(failed);
  EXPECT_LT(ms, 8000u);
}

TEST(SysHttp, MalformedAddressesFail) {
  Win32Http http;
  for (const char* url : {"", "not a url", "ftp://127.0.0.1/x"}) {
    SCOPED_TRACE(url);
    EXPECT_THROW(http.Send(Get(url)), HttpError);
  }
}

}  // namespace
}  // namespace tovren::win32::test
