#include "online/url.h"

#include <vector>

#include "online/text_util.h"

namespace tovren::online {
namespace {

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char kHex[] = "0123456789ABCDEF";

// Spaces, controls, quotes, angle brackets and non-ASCII bytes do not belong in an
// address on the wire; every other character is left as written (existing %XX included).
std::string EncodeLoose(std::string_view text) {
  std::string out;
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string Clean(std::string_view text) {
  // Browsers strip leading and trailing C0 controls and spaces, and drop tabs and line
  // breaks anywhere.
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
  std::string out;
  for (char c : text.substr(begin, end - begin))
    if (c != '\t' && c != '\r' && c != '\n') out += c;
  return out;
}

std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string> out;
  bool trailingSlash = false;
  size_t i = 0;
  if (!path.empty() && path[0] == '/') i = 1;
  while (i <= path.size()) {
    size_t slash = path.find('/', i);
    std::string_view seg =
        path.substr(i, slash == std::string_view::npos ? std::string_view::npos : slash - i);
    bool last = slash == std::string_view::npos;
    std::string lower = AsciiLower(seg);
    if (seg == "." || lower == "%2e") {
      trailingSlash = last;
    } else if (seg == ".." || lower == ".%2e" || lower == "%2e." || lower == "%2e%2e") {
      if (!out.empty()) out.pop_back();
      trailingSlash = last;
    } else {
      out.emplace_back(seg);
      trailingSlash = false;
    }
    if (last) break;
    i = slash + 1;
  }
  std::string result;
  for (const auto& s : out) result += "/" + s;
  if (trailingSlash || result.empty()) result += "/";
  return result;
}

// Splits "path?query#fragment" of an already cleaned text.
void SplitTail(std::string_view tail, std::string& path, std::optional<std::string>& query,
               std::optional<std::string>& fragment) {
  size_t hash = tail.find('#');
  if (hash != std::string_view::npos) {
    fragment = std::string(tail.substr(hash + 1));
    tail = tail.substr(0, hash);
  }
  size_t q = tail.find('?');
  if (q != std::string_view::npos) {
    query = EncodeLoose(tail.substr(q + 1));
    tail = tail.substr(0, q);
  }
  path = EncodeLoose(tail);
}

bool HasScheme(std::string_view text, std::string& scheme) {
  if (text.empty() || !IsAlpha(text[0])) return false;
  for (size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == ':') {
      scheme = AsciiLower(text.substr(0, i));
      return true;
    }
    if (!IsAlpha(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

}  // namespace

std::string Url::ForRequest() const {
  std::string out = scheme + "://" + host;
  if (!port.empty()) out += ":" + port;
  out += path;
  if (query) out += "?" + *query;
  return out;
}

std::string Url::Serialize() const {
  std::string out = ForRequest();
  if (fragment) out += "#" + *fragment;
  return out;
}

std::string Url::Origin() const {
  std::string p = port.empty() ? (scheme == "https" ? "443" : "80") : port;
  return scheme + "://" + host + ":" + p;
}

std::optional<Url> ParseUrl(std::string_view input) {
  std::string text = Clean(input);
  for (char& c : text)
    if (c == '\\') c = '/';
  std::string scheme;
  if (!HasScheme(text, scheme) || (scheme != "http" && scheme != "https")) return std::nullopt;
  std::string_view rest(text);
  rest.remove_prefix(scheme.size() + 1);
  while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  size_t end = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, end);
  std::string_view tail = end == std::string_view::npos ? std::string_view() : rest.substr(end);
  size_t at = authority.rfind('@');
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);  // credentials unused
  Url url;
  url.scheme = scheme;
  std::string_view hostPart = authority, portPart;
  if (!authority.empty() && authority.front() == '[') {
    size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    hostPart = authority.substr(0, close + 1);
    std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return std::nullopt;
      portPart = after.substr(1);
    }
  } else {
    size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos) {
      hostPart = authority.substr(0, colon);
      portPart = authority.substr(colon + 1);
    }
  }
  if (hostPart.empty()) return std::nullopt;
  for (char c : hostPart)
    if (static_cast<unsigned char>(c) <= 0x20 || c == '%' || c == '<' || c == '>' || c == '"')
      return std::nullopt;
  for (char c : portPart)
    if (!IsDigit(c)) return std::nullopt;
  if (portPart.size() > 5) return std::nullopt;
  url.host = AsciiLower(hostPart);
  std::string port(portPart);
  while (port.size() > 1 && port.front() == '0') port.erase(0, 1);
  if (!port.empty() && std::stoi(port) > 65535) return std::nullopt;
  if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) port.clear();
  url.port = port;
  std::string path;
  SplitTail(tail, path, url.query, url.fragment);
  url.path = RemoveDotSegments(path.empty() ? "/" : path);
  return url;
}

std::optional<Url> ResolveUrl(const Url& base, std::string_view reference) {
  std::string ref = Clean(reference);
  // Special schemes read backslashes as slashes.
  for (char& c : ref)
    if (c == '\\') c = '/';
  std::string scheme;
  if (HasScheme(ref, scheme)) {
    // "http:path" with the base's own scheme is a relative reference in browsers.
    std::string_view after = std::string_view(ref).substr(scheme.size() + 1);
    if (scheme == base.scheme && after.substr(0, 1) != "/") {
      ref = std::string(after);
    } else {
      return ParseUrl(ref);
    }
  }
  if (ref.substr(0, 2) == "//") return ParseUrl(base.scheme + ":" + ref);
  Url url{base.scheme, base.host, base.port, base.path, base.query, std::nullopt};
  if (ref.empty()) return url;
  if (ref[0] == '#') {
    url.fragment = ref.substr(1);
    return url;
  }
  std::string path;
  std::optional<std::string> query, fragment;
  SplitTail(ref, path, query, fragment);
  url.fragment = fragment;
  if (path.empty()) {
    // "?q": the base's path with a new query.
    url.query = query;
    return url;
  }
  url.query = query;
  if (path[0] == '/') {
    url.path = RemoveDotSegments(path);
  } else {
    std::string merged = base.path.substr(0, base.path.rfind('/') + 1) + path;
    url.path = RemoveDotSegments(merged);
  }
  return url;
}

std::string WithDefaultScheme(std::string_view address) {
  std::string text = Clean(address);
  std::string scheme;
  if (HasScheme(text, scheme)) {
    // "host:port/path" reads as a scheme "host"; only real web schemes count.
    if (scheme == "http" || scheme == "https") return text;
  }
  return "http://" + text;
}

std::string PercentEncode(std::string_view text) {
  std::string out;
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (IsAlpha(ch) || IsDigit(ch) || ch == '-' || ch == '.' || ch == '_' || ch == '~') {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace tovren::online
