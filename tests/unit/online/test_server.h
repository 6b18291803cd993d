#pragma once
// A real HTTP server inside the test, on 127.0.0.1 and a port the system picks, and a
// listener that accepts connections but never answers.
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tovren::online::testing {

class TestServer {
 public:
  struct Seen {
    std::string method, path, query, body, cookie, contentType, referer;
  };

  TestServer() {
    // Every request the server saw, for the assertions: recorded once the body has been
    // read, before the answer goes out, so a client that has its answer finds it here.
    server.set_post_routing_handler([this](const httplib::Request& req, httplib::Response&) {
      std::lock_guard<std::mutex> lock(mutex_);
      std::string query;
      for (const auto& [k, v] : req.params) query += (query.empty() ? "" : "&") + k + "=" + v;
      seen_.push_back({req.method, req.path, query, req.body, req.get_header_value("Cookie"),
                       req.get_header_value("Content-Type"), req.get_header_value("Referer")});
    });
    port_ = server.bind_to_any_port("127.0.0.1");
  }
  // A fixed answer for path (GET and POST alike); may change while the server runs.
  void Serve(const std::string& path, std::string body, int status = 200,
             std::string contentType = "text/plain; charset=utf-8") {
    std::lock_guard<std::mutex> lock(mutex_);
    pages_[path] = {status, std::move(body), std::move(contentType)};
  }
  // Call after the test's own handlers: theirs are matched first.
  void Start() {
    auto fixed = [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = pages_.find(req.path);
      if (it == pages_.end()) {
        res.status = 404;
        res.set_content("Not Found", "text/plain");
        return;
      }
      res.status = it->second.status;
      res.set_content(it->second.body, it->second.contentType.c_str());
    };
    server.Get(".*", fixed);
    server.Post(".*", fixed);
    thread_ = std::thread([this] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~TestServer() {
    server.stop();
    if (thread_.joinable()) thread_.join();
  }

  // "127.0.0.1:port"
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& path) const { return "http://" + Host() + path; }
  std::vector<Seen> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  std::vector<Seen> RequestsTo(const std::string& path) {
    std::vector<Seen> out;
    for (auto& r : Requests())
      if (r.path == path) out.push_back(r);
    return out;
  }

  httplib::Server server;

 private:
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<Seen> seen_;
  struct Fixed {
    int status;
    std::string body, contentType;
  };
  std::map<std::string, Fixed> pages_;
};

// Accepts the connection (the kernel does, from the backlog) and never says a word.
class SilentServer {
 public:
  SilentServer() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(fd_, 8);
    socklen_t len = sizeof addr;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
  }
  ~SilentServer() { close(fd_); }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace tovren::online::testing
