#include "online/cookies.h"

#include <algorithm>

#include "online/text_util.h"

namespace tovren::online {
namespace {

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string DefaultPath(const Url& url) {
  size_t slash = url.path.rfind('/');
  if (slash == 0 || slash == std::string::npos) return "/";
  return url.path.substr(0, slash);
}

bool DomainMatches(const std::string& host, const std::string& domain) {
  if (host == domain) return true;
  return host.size() > domain.size() &&
         host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
         host[host.size() - domain.size() - 1] == '.';
}

bool PathMatches(const std::string& requestPath, const std::string& cookiePath) {
  if (requestPath == cookiePath) return true;
  if (requestPath.compare(0, cookiePath.size(), cookiePath) != 0) return false;
  return cookiePath.back() == '/' || requestPath[cookiePath.size()] == '/';
}

}  // namespace

void CookieJar::Store(const Url& url, const platform::Headers& headers) {
  for (const auto& [headerName, headerValue] : headers) {
    if (!EqualsIgnoringAsciiCase(headerName, "set-cookie")) continue;
    std::string_view line(headerValue);
    size_t semi = line.find(';');
    std::string_view pair = Trim(line.substr(0, semi));
    size_t eq = pair.find('=');
    if (eq == std::string_view::npos) continue;
    Cookie c;
    c.name = std::string(Trim(pair.substr(0, eq)));
    c.value = std::string(Trim(pair.substr(eq + 1)));
    if (c.name.empty()) continue;
    c.domain = url.host;
    c.path = DefaultPath(url);
    bool expired = false;
    while (semi != std::string_view::npos) {
      line.remove_prefix(semi + 1);
      semi = line.find(';');
      std::string_view attr = Trim(line.substr(0, semi));
      size_t aeq = attr.find('=');
      std::string key = AsciiLower(Trim(attr.substr(0, aeq)));
      std::string value(aeq == std::string_view::npos ? std::string_view() : Trim(attr.substr(aeq + 1)));
      if (key == "domain" && !value.empty()) {
        if (value.front() == '.') value.erase(0, 1);
        value = AsciiLower(value);
        if (!DomainMatches(url.host, value)) {
          c.name.clear();  // a cookie for another site is refused
          break;
        }
        c.domain = value;
        c.hostOnly = false;
      } else if (key == "path" && !value.empty() && value.front() == '/') {
        c.path = value;
      } else if (key == "max-age") {
        if (!value.empty() && (value.front() == '-' || value == "0")) expired = true;
      } else if (key == "secure") {
        c.secure = true;
      }
    }
    if (c.name.empty()) continue;
    auto same = [&](const Cookie& o) {
      return o.name == c.name && o.domain == c.domain && o.path == c.path;
    };
    cookies_.erase(std::remove_if(cookies_.begin(), cookies_.end(), same), cookies_.end());
    if (!expired) cookies_.push_back(std::move(c));
  }
}

std::string CookieJar::HeaderFor(const Url& url) const {
  std::string header;
  for (const Cookie& c : cookies_) {
    bool domainOk = c.hostOnly ? url.host == c.domain : DomainMatches(url.host, c.domain);
    if (!domainOk || !PathMatches(url.path, c.path)) continue;
    if (c.secure && url.scheme != "https") continue;
    if (!header.empty()) header += "; ";
    header += c.name + "=" + c.value;
  }
  return header;
}

}  // namespace tovren::online
