#pragma once
// The hidden browser's cookies: kept in memory for one browser, sent back to the host that
// set them. Enough of the cookie rules for a registration page's session.
#include <string>
#include <string_view>
#include <vector>

#include "online/url.h"
#include "platform/api/http.h"

namespace tovren::online {

class CookieJar {
 public:
  // Takes the Set-Cookie headers of a response to a request for url.
  void Store(const Url& url, const platform::Headers& headers);
  // The Cookie header value for a request to url, "" for none.
  std::string HeaderFor(const Url& url) const;
  std::size_t size() const { return cookies_.size(); }

 private:
  struct Cookie {
    std::string name, value, domain, path;
    bool hostOnly = true;
    bool secure = false;
  };
  std::vector<Cookie> cookies_;
};

}  // namespace tovren::online
