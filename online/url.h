#pragma once
// Web addresses as the hidden browser needs them: parsing, resolving a reference against
// the page's address, and the origin a form may be sent to.
#include <optional>
#include <string>
#include <string_view>

namespace tovren::online {

struct Url {
  std::string scheme;    // lower case: "http"
  std::string host;      // lower case, without port
  std::string port;      // digits as written, "" for the scheme's default
  std::string path;      // "/..." (at least "/")
  std::optional<std::string> query;     // without '?'
  std::optional<std::string> fragment;  // without '#'

  // scheme://host[:port]/path[?query] (the fragment is never sent).
  std::string ForRequest() const;
  std::string Serialize() const;  // with the fragment
  // "http://host:port" with the port always given; two addresses of the same origin may
  // exchange a form.
  std::string Origin() const;
};

// An absolute http or https address; nothing for anything else. Blanks around it, tabs
// and line breaks inside are dropped and backslashes read as slashes, as browsers do;
// spaces, controls and non-ASCII bytes are percent-encoded.
std::optional<Url> ParseUrl(std::string_view text);

// reference resolved against base (RFC 3986, with dot segments removed); nothing when the
// result is not an http or https address.
std::optional<Url> ResolveUrl(const Url& base, std::string_view reference);

// Completes an address written without a scheme ("host/path") to http, as the browser
// control does.
std::string WithDefaultScheme(std::string_view address);

// Percent-encodes every byte of one path segment or query value except the unreserved
// ones (A-Z a-z 0-9 - . _ ~).
std::string PercentEncode(std::string_view text);

}  // namespace tovren::online
