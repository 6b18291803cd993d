#include "online/markup.h"

#include <array>
#include <string>

#include "online/fetch.h"
#include "online/text_util.h"

namespace tovren::online {
namespace {

constexpr std::array<std::string_view, 9> kDocumentTags = {
    "<html", "<head", "<body", "<!doctype", "<meta", "<title", "<script", "<form", "<iframe"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// A '<' opening a tag, a closing tag, a comment or a declaration.
bool HasAnyTag(std::string_view text) {
  for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (at + 1 >= text.size()) break;
    const unsigned char next = static_cast<unsigned char>(text[at + 1]);
    const unsigned char letter = next | 0x20;
    if (next == '/' || next == '!' || (letter >= 'a' && letter <= 'z')) return true;
  }
  return false;
}

}  // namespace

bool ServedAsHtml(const platform::Headers& headers) {
  const std::string* type = FindHeader(headers, "content-type");
  if (!type) return false;
  std::string media = AsciiLower(TrimBlanks(std::string_view(*type).substr(0, type->find(';'))));
  return media == "text/html" || media == "application/xhtml+xml";
}

bool LooksLikeMarkup(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  if (first < text.size() && text[first] == '<') return true;
  const std::string lower = AsciiLower(text);
  for (std::string_view tag : kDocumentTags)
    if (lower.find(tag) != std::string::npos) return true;
  return false;
}

bool IsPageNotText(const platform::Headers& headers, std::string_view text) {
  return LooksLikeMarkup(text) || (ServedAsHtml(headers) && HasAnyTag(text));
}

bool LooksLikeOneAddress(std::string_view text) {
  if (text.size() > 64) return false;
  for (char c : text) {
    const bool fits = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                      c == '.' || c == ':' || c == '-' || c == '_' || c == '[' || c == ']';
    if (!fits) return false;
  }
  return true;
}

}  // namespace tovren::online
