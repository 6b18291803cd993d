#include "online/fetch.h"

#include <stdexcept>

#include "online/markup.h"
#include "online/text_util.h"
#include "platform/api/codepage.h"

namespace tovren::online {

const std::string* FindHeader(const platform::Headers& headers, std::string_view name) {
  for (const auto& [n, v] : headers)
    if (EqualsIgnoringAsciiCase(n, name)) return &v;
  return nullptr;
}

std::optional<Url> RedirectTarget(const Url& from, const platform::HttpResponse& response) {
  const int s = response.status;
  if (s != 301 && s != 302 && s != 303 && s != 307 && s != 308) return std::nullopt;
  const std::string* location = FindHeader(response.headers, "location");
  if (!location) return std::nullopt;
  return ResolveUrl(from, *location);
}

std::string FetchText(platform::Http& http, std::string_view address, const RequestLimits& limits) {
  platform::HttpRequest request;
  request.method = "GET";
  request.url = std::string(TrimBlanks(address));
  request.connectTimeoutMs = limits.connectTimeoutMs;
  request.totalTimeoutMs = limits.totalTimeoutMs;
  request.maxBodyBytes = limits.maxBodyBytes;
  const std::string asked = request.url;
  // An address that does not read as one is still sent as written (the client reports
  // it); there is no host to stay on, so its redirects are not followed.
  const std::optional<Url> first = ParseUrl(asked);
  std::optional<Url> at = first;
  platform::HttpResponse response;
  for (int redirects = 0;; ++redirects) {
    try {
      response = http.Send(request);
    } catch (const platform::HttpError& e) {
      throw FetchError("无法连接联机服务器，请检查网络连接后重试。",
                       "cannot fetch " + request.url + ": " + e.what());
    }
    std::optional<Url> next = at ? RedirectTarget(*at, response) : std::nullopt;
    if (!next) break;
    if (next->Origin() != first->Origin()) {
      throw FetchError("联机服务器暂时无法提供地址列表，请稍后重试。",
                       "fetch " + asked + ": redirected to another host, " + next->ForRequest());
    }
    if (redirects == kMaxRedirects) {
      throw FetchError("联机服务器暂时无法提供地址列表，请稍后重试。",
                       "fetch " + asked + ": more than " + std::to_string(kMaxRedirects) +
                           " redirects");
    }
    at = next;
    request.url = next->ForRequest();
  }
  if (response.status < 200 || response.status > 299) {
    throw FetchError("联机服务器暂时无法提供地址列表，请稍后重试。",
                     "fetch " + request.url + ": HTTP status " + std::to_string(response.status));
  }
  std::string text = BytesToText(response.body, "UTF-8");
  // A login page of the player's network, or an error page sent with status 200.
  if (IsPageNotText(response.headers, text)) {
    throw FetchError("网络返回了网页而不是地址列表。若需先在浏览器中登录网络，请登录后重试。",
                     "fetch " + request.url + ": an HTML page where a text was expected");
  }
  return text;
}

bool IsGbkCharset(std::string_view charset) {
  std::string name = AsciiLower(TrimBlanks(charset));
  return name == "gbk" || name == "gb2312" || name == "gb18030" || name == "cp936" ||
         name == "x-gbk" || name == "windows-936" || name == "csgb2312" || name == "ms936";
}

std::string BytesToText(const platform::Bytes& bytes, std::string_view charset) {
  std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::string name = AsciiLower(TrimBlanks(charset));
  if (name == "utf-8" || name == "utf8") {
    if (raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);
    return SanitizeUtf8(raw);
  }
  if (IsGbkCharset(name)) return platform::GbkToUtf8(raw);
  throw std::invalid_argument("unsupported character set: " + std::string(charset));
}

}  // namespace tovren::online
