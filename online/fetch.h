#pragma once
// Module D_Web and the text fetcher: a short text document from the web server, read with
// one bounded HTTP GET and decoded as UTF-8.
#include <optional>
#include <string>
#include <string_view>

#include "core/user_error.h"
#include "online/url.h"
#include "platform/api/http.h"
#include "platform/api/types.h"

namespace tovren::online {

// Bounds of every request the online services send: a silent server must never hold the
// launcher's only thread for long.
struct RequestLimits {
  int connectTimeoutMs = 5000;
  int totalTimeoutMs = 15000;
  std::size_t maxBodyBytes = 1024 * 1024;
};

// A fetch that gave no usable document: no connection, a time-out, an oversized body, or
// an error status (a "not found" page is not a list), or an HTML page.
class FetchError : public core::UserError {
 public:
  using core::UserError::UserError;
};

// Redirects followed in a row, by the fetcher and the hidden browser alike.
inline constexpr int kMaxRedirects = 5;

// The first header of that name (names compare ignoring case), or nullptr.
const std::string* FindHeader(const platform::Headers& headers, std::string_view name);

// Where a redirect response sends a client that asked for `from`: the Location of a 301,
// 302, 303, 307 or 308, resolved against `from`; nothing for any other response.
std::optional<Url> RedirectTarget(const Url& from, const platform::HttpResponse& response);

// GET of address (blanks removed at both ends), body decoded as UTF-8. Redirects are
// followed, at most kMaxRedirects, as long as they stay on the address's own host (scheme,
// host and port): the server may move its pages, but a list is never taken from another
// host. Throws FetchError, also for a redirect elsewhere or one too many, and for an HTML
// page where the text should be (online/markup.h).
std::string FetchText(platform::Http& http, std::string_view address,
                      const RequestLimits& limits = {});

// Decodes bytes in a named character set: "UTF-8" (a leading byte-order mark dropped,
// invalid sequences replaced by U+FFFD) or the GBK family ("GBK", "GB2312", "GB18030",
// "CP936"). Names compare ignoring case. Throws std::invalid_argument for other names.
std::string BytesToText(const platform::Bytes& bytes, std::string_view charset);

// Whether a charset name is one that BytesToText decodes as GBK.
bool IsGbkCharset(std::string_view charset);

}  // namespace tovren::online
