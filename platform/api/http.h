#pragma once
// One HTTP exchange, bounded in time and size. No redirects are followed and no cookies
// are kept: the callers decide.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/api/types.h"

namespace tovren::platform {

using Headers = std::vector<std::pair<std::string, std::string>>;

struct HttpRequest {
  std::string method = "GET";
  std::string url;  // "http://host[:port]/path?query"
  Headers headers;
  std::string body;
  int connectTimeoutMs = 5000;
  int totalTimeoutMs = 15000;
  std::size_t maxBodyBytes = 1024 * 1024;
};

struct HttpResponse {
  int status = 0;
  Headers headers;  // names as sent; a header may repeat (Set-Cookie)
  Bytes body;
};

class HttpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Http {
 public:
  virtual ~Http() = default;
  // Throws HttpError on a transport failure, a time-out or a body over maxBodyBytes.
  // Any status, 404 included, is a response.
  virtual HttpResponse Send(const HttpRequest& request) = 0;
};

}  // namespace tovren::platform
