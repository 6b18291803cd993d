// The host's HTTP client: libcurl, one easy handle per exchange.
#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "platform/sim/sim_platform.h"

namespace tovren::sim {
namespace {

struct Exchange {
  platform::HttpResponse response;
  std::size_t cap = 0;
  bool overflow = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* ex = static_cast<Exchange*>(user);
  size_t n = size * count;
  if (ex->response.body.size() + n > ex->cap) {
    ex->overflow = true;
    return 0;  // makes curl stop with CURLE_WRITE_ERROR
  }
  ex->response.body.insert(ex->response.body.end(), data, data + n);
  return n;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* ex = static_cast<Exchange*>(user);
  size_t n = size * count;
  std::string line(data, n);
  if (line.rfind("HTTP/", 0) == 0) {
    ex->response.headers.clear();  // a new response (after 100 Continue)
    return n;
  }
  auto colon = line.find(':');
  if (colon == std::string::npos) return n;
  std::string name = line.substr(0, colon);
  std::string value = line.substr(colon + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
  while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' '))
    value.pop_back();
  ex->response.headers.emplace_back(name, value);
  return n;
}

class CurlHttp : public platform::Http {
 public:
  CurlHttp() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  }

  platform::HttpResponse Send(const platform::HttpRequest& request) override {
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) throw platform::HttpError("curl_easy_init failed");
    Exchange ex;
    ex.cap = request.maxBodyBytes;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(request.totalTimeoutMs));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &ex);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &ex);
    curl_easy_setopt(c, CURLOPT_PROXY, "");
    if (request.method == "GET") {
      curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    } else if (request.method == "POST") {
      curl_easy_setopt(c, CURLOPT_POST, 1L);
      curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.data());
      curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.body.size()));
    } else {
      curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.headers)
      headers = curl_slist_append(headers, (name + ": " + value).c_str());
    // curl would otherwise add "Expect: 100-continue" to larger POSTs.
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
    CURLcode rc = curl_easy_perform(c);
    curl_slist_free_all(headers);
    if (ex.overflow) throw platform::HttpError("response body larger than the limit");
    if (rc != CURLE_OK) throw platform::HttpError(curl_easy_strerror(rc));
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    ex.response.status = static_cast<int>(status);
    return std::move(ex.response);
  }
};

}  // namespace

std::unique_ptr<platform::Http> MakeCurlHttp() { return std::make_unique<CurlHttp>(); }

}  // namespace tovren::sim
