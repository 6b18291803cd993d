#include "online/html.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

#include "online/text_util.h"

namespace tovren::online::html {
namespace {

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsAsciiAlpha(c) || IsAsciiDigit(c); }
bool IsHexDigit(char c) {
  return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

struct NamedRef {
  const char* name;
  char32_t codePoint;
  bool legacy;  // also recognised without the final ';'
};

// The references real pages use; the rest of the HTML table is not needed here.
constexpr NamedRef kNamedRefs[] = {
    {"amp", 38, true},      {"AMP", 38, true},      {"lt", 60, true},
    {"LT", 60, true},       {"gt", 62, true},       {"GT", 62, true},
    {"quot", 34, true},     {"QUOT", 34, true},     {"nbsp", 160, true},
    {"iexcl", 161, true},   {"cent", 162, true},    {"pound", 163, true},
    {"curren", 164, true},  {"yen", 165, true},     {"brvbar", 166, true},
    {"sect", 167, true},    {"uml", 168, true},     {"copy", 169, true},
    {"COPY", 169, true},    {"ordf", 170, true},    {"laquo", 171, true},
    {"not", 172, true},     {"shy", 173, true},     {"reg", 174, true},
    {"REG", 174, true},     {"macr", 175, true},    {"deg", 176, true},
    {"plusmn", 177, true},  {"sup2", 178, true},    {"sup3", 179, true},
    {"acute", 180, true},   {"micro", 181, true},   {"para", 182, true},
    {"middot", 183, true},  {"cedil", 184, true},   {"sup1", 185, true},
    {"ordm", 186, true},    {"raquo", 187, true},   {"frac14", 188, true},
    {"frac12", 189, true},  {"frac34", 190, true},  {"iquest", 191, true},
    {"times", 215, true},   {"divide", 247, true},  {"apos", 39, false},
    {"ensp", 0x2002, false}, {"emsp", 0x2003, false}, {"thinsp", 0x2009, false},
    {"zwnj", 0x200C, false}, {"zwj", 0x200D, false}, {"lrm", 0x200E, false},
    {"rlm", 0x200F, false}, {"ndash", 0x2013, false}, {"mdash", 0x2014, false},
    {"lsquo", 0x2018, false}, {"rsquo", 0x2019, false}, {"sbquo", 0x201A, false},
    {"ldquo", 0x201C, false}, {"rdquo", 0x201D, false}, {"bdquo", 0x201E, false},
    {"dagger", 0x2020, false}, {"Dagger", 0x2021, false}, {"bull", 0x2022, false},
    {"hellip", 0x2026, false}, {"permil", 0x2030, false}, {"prime", 0x2032, false},
    {"Prime", 0x2033, false}, {"lsaquo", 0x2039, false}, {"rsaquo", 0x203A, false},
    {"euro", 0x20AC, false}, {"trade", 0x2122, false}, {"larr", 0x2190, false},
    {"uarr", 0x2191, false}, {"rarr", 0x2192, false}, {"darr", 0x2193, false},
    {"harr", 0x2194, false}, {"hearts", 0x2665, false},
};

const NamedRef* FindRef(std::string_view name) {
  for (const auto& r : kNamedRefs)
    if (name == r.name) return &r;
  return nullptr;
}

// Numeric references 0x80-0x9F name the windows-1252 characters, as in browsers.
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one reference at text[i] == '&'; returns the characters consumed (0: none, the
// '&' is literal).
size_t DecodeOne(std::string_view text, size_t i, bool inAttribute, std::string& out) {
  size_t j = i + 1;
  if (j < text.size() && text[j] == '#') {
    ++j;
    bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
    if (hex) ++j;
    size_t digitsStart = j;
    std::uint32_t value = 0;
    while (j < text.size() && (hex ? IsHexDigit(text[j]) : IsAsciiDigit(text[j]))) {
      char c = text[j];
      unsigned d = IsAsciiDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
      if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + d;
      ++j;
    }
    if (j == digitsStart) return 0;
    if (j < text.size() && text[j] == ';') ++j;
    char32_t cp = value;
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    else if (cp >= 0x80 && cp <= 0x9F) cp = kWindows1252[cp - 0x80];
    AppendUtf8(out, cp);
    return j - i;
  }
  size_t nameEnd = j;
  while (nameEnd < text.size() && IsAsciiAlnum(text[nameEnd]) && nameEnd - j < 32) ++nameEnd;
  if (nameEnd == j) return 0;
  if (nameEnd < text.size() && text[nameEnd] == ';') {
    if (const NamedRef* r = FindRef(text.substr(j, nameEnd - j))) {
      AppendUtf8(out, r->codePoint);
      return nameEnd + 1 - i;
    }
  }
  // Without ';': the longest legacy name that starts the run.
  for (size_t end = nameEnd; end > j; --end) {
    const NamedRef* r = FindRef(text.substr(j, end - j));
    if (!r || !r->legacy) continue;
    if (end < text.size() && text[end] == ';') continue;  // handled above
    if (inAttribute && end < text.size() && (IsAsciiAlnum(text[end]) || text[end] == '=')) return 0;
    AppendUtf8(out, r->codePoint);
    return end - i;
  }
  return 0;
}

bool StartsWithIgnoringCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  return EqualsIgnoringAsciiCase(text.substr(at, prefix.size()), prefix);
}

// Start of "</tag" followed by a space, '/' or '>' (or the end), from `from` on.
size_t FindEndTag(std::string_view text, size_t from, std::string_view tag) {
  for (size_t at = text.find("</", from); at != std::string_view::npos; at = text.find("</", at + 2)) {
    if (!StartsWithIgnoringCase(text, at + 2, tag)) continue;
    size_t after = at + 2 + tag.size();
    if (after >= text.size() || IsSpace(text[after]) || text[after] == '/' || text[after] == '>')
      return at;
  }
  return std::string_view::npos;
}

std::string_view CollapseWhitespace(std::string_view text, std::string& storage) {
  storage.clear();
  bool space = false;
  for (char c : text) {
    if (IsSpace(c)) {
      space = !storage.empty();
      continue;
    }
    if (space) storage += ' ';
    space = false;
    storage += c;
  }
  return storage;
}

// The text a browser shows: blanks collapsed, block elements on lines of their own.
class BodyText {
 public:
  void Text(std::string_view text) {
    for (char c : text) {
      if (IsSpace(c)) {
        pendingSpace_ = true;
        continue;
      }
      if (pendingBreak_ && !AtLineStart()) out_ += "\r\n";
      else if (pendingSpace_ && !AtLineStart()) out_ += ' ';
      pendingBreak_ = pendingSpace_ = false;
      out_ += c;
    }
  }
  void Block() { pendingBreak_ = true; }
  void Space() { pendingSpace_ = true; }
  void LineBreak() {
    out_ += "\r\n";
    pendingBreak_ = pendingSpace_ = false;
  }
  std::string Finish() {
    std::string text = std::move(out_);
    size_t begin = text.find_first_not_of(" \r\n");
    if (begin == std::string::npos) return {};
    size_t end = text.find_last_not_of(" \r\n");
    return text.substr(begin, end - begin + 1);
  }

 private:
  bool AtLineStart() const { return out_.empty() || out_.back() == '\n'; }
  std::string out_;
  bool pendingSpace_ = false;
  bool pendingBreak_ = false;
};

bool IsOneOf(std::string_view tag, std::initializer_list<std::string_view> tags) {
  return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

bool IsBlock(std::string_view tag) {
  return IsOneOf(tag, {"address", "article", "aside", "blockquote", "center", "dd", "details",
                       "dialog", "dir", "div", "dl", "dt", "fieldset", "figcaption", "figure",
                       "footer", "form", "h1", "h2", "h3", "h4", "h5", "h6", "header", "hr",
                       "li", "main", "menu", "nav", "ol", "p", "pre", "section", "summary",
                       "table", "tbody", "thead", "tfoot", "tr", "ul", "caption", "legend"});
}

bool IsHeadTag(std::string_view tag) {
  return IsOneOf(tag, {"html", "head", "base", "basefont", "bgsound", "link", "meta", "title",
                       "style", "script", "noscript", "template"});
}

bool IsFormAssociated(std::string_view tag) {
  return IsOneOf(tag, {"button", "fieldset", "input", "object", "output", "select", "textarea",
                       "img"});
}

std::optional<std::string> CharsetFromMetaContent(std::string_view content) {
  // The HTML algorithm for extracting a character encoding from a meta element.
  size_t at = 0;
  for (;;) {
    size_t found = std::string_view::npos;
    for (size_t k = at; k + 7 <= content.size(); ++k)
      if (EqualsIgnoringAsciiCase(content.substr(k, 7), "charset")) {
        found = k;
        break;
      }
    if (found == std::string_view::npos) return std::nullopt;
    size_t k = found + 7;
    while (k < content.size() && IsSpace(content[k])) ++k;
    if (k >= content.size() || content[k] != '=') {
      at = found + 7;
      continue;
    }
    ++k;
    while (k < content.size() && IsSpace(content[k])) ++k;
    if (k >= content.size()) return std::nullopt;
    std::string value;
    if (content[k] == '"' || content[k] == '\'') {
      char quote = content[k];
      size_t close = content.find(quote, k + 1);
      if (close == std::string_view::npos) return std::nullopt;
      value = std::string(content.substr(k + 1, close - k - 1));
    } else {
      size_t end = k;
      while (end < content.size() && !IsSpace(content[end]) && content[end] != ';') ++end;
      value = std::string(content.substr(k, end - k));
    }
    if (value.empty()) return std::nullopt;
    return AsciiLower(value);
  }
}

struct Tag {
  std::string name;
  std::vector<Attribute> attributes;
  bool end = false;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : s_(text) {}

  Document Run() {
    while (pos_ < s_.size()) {
      if (s_[pos_] != '<') {
        size_t next = s_.find('<', pos_);
        if (next == std::string_view::npos) next = s_.size();
        OnText(DecodeCharacterReferences(s_.substr(pos_, next - pos_), false));
        pos_ = next;
        continue;
      }
      ReadMarkup();
    }
    ResolveFormAttributes();
    doc_.bodyText = body_.Finish();
    return std::move(doc_);
  }

 private:
  void ReadMarkup() {
    // s_[pos_] == '<'
    if (s_.compare(pos_, 4, "<!--") == 0) {
      size_t from = pos_ + 4;
      // "<!-->" and "<!--->" are empty comments.
      if (s_.compare(from, 1, ">") == 0) { pos_ = from + 1; return; }
      if (s_.compare(from, 2, "->") == 0) { pos_ = from + 2; return; }
      size_t end = s_.find("-->", from);
      size_t bang = s_.find("--!>", from);
      if (bang != std::string_view::npos && (end == std::string_view::npos || bang < end)) {
        pos_ = bang + 4;
      } else {
        pos_ = end == std::string_view::npos ? s_.size() : end + 3;
      }
      return;
    }
    if (pos_ + 1 < s_.size() && (s_[pos_ + 1] == '!' || s_[pos_ + 1] == '?')) {
      SkipBogusComment(pos_ + 2);
      return;
    }
    if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
      if (pos_ + 2 < s_.size() && IsAsciiAlpha(s_[pos_ + 2])) {
        Tag tag;
        tag.end = true;
        if (ReadTag(pos_ + 2, tag)) OnEndTag(tag.name);
        return;
      }
      if (pos_ + 2 < s_.size() && s_[pos_ + 2] == '>') { pos_ += 3; return; }
      if (pos_ + 2 >= s_.size()) { OnText("</"); pos_ = s_.size(); return; }
      SkipBogusComment(pos_ + 2);
      return;
    }
    if (pos_ + 1 < s_.size() && IsAsciiAlpha(s_[pos_ + 1])) {
      Tag tag;
      if (ReadTag(pos_ + 1, tag)) OnStartTag(std::move(tag));
      return;
    }
    OnText("<");
    ++pos_;
  }

  void SkipBogusComment(size_t from) {
    size_t end = s_.find('>', from);
    pos_ = end == std::string_view::npos ? s_.size() : end + 1;
  }

  // Reads a tag whose name starts at `at`; false when the text ends inside it (the tag
  // is then dropped, as browsers do).
  bool ReadTag(size_t at, Tag& tag) {
    size_t i = at;
    while (i < s_.size() && !IsSpace(s_[i]) && s_[i] != '/' && s_[i] != '>') ++i;
    tag.name = AsciiLower(s_.substr(at, i - at));
    for (;;) {
      while (i < s_.size() && (IsSpace(s_[i]) || s_[i] == '/')) ++i;
      if (i >= s_.size()) { pos_ = s_.size(); return false; }
      if (s_[i] == '>') { pos_ = i + 1; return true; }
      size_t nameStart = i;
      ++i;  // the first character may be anything, even '='
      while (i < s_.size() && !IsSpace(s_[i]) && s_[i] != '/' && s_[i] != '>' && s_[i] != '=') ++i;
      std::string name = AsciiLower(s_.substr(nameStart, i - nameStart));
      size_t k = i;
      while (k < s_.size() && IsSpace(s_[k])) ++k;
      std::string value;
      if (k < s_.size() && s_[k] == '=') {
        ++k;
        while (k < s_.size() && IsSpace(s_[k])) ++k;
        if (k < s_.size() && (s_[k] == '"' || s_[k] == '\'')) {
          char quote = s_[k];
          size_t close = s_.find(quote, k + 1);
          if (close == std::string_view::npos) { pos_ = s_.size(); return false; }
          value = DecodeCharacterReferences(s_.substr(k + 1, close - k - 1), true);
          i = close + 1;
        } else {
          size_t end = k;
          while (end < s_.size() && !IsSpace(s_[end]) && s_[end] != '>') ++end;
          value = DecodeCharacterReferences(s_.substr(k, end - k), true);
          i = end;
        }
      }
      bool duplicate = std::any_of(tag.attributes.begin(), tag.attributes.end(),
                                   [&](const Attribute& a) { return a.name == name; });
      if (!duplicate) tag.attributes.push_back({std::move(name), std::move(value)});
    }
  }

  void StartBody() { inBody_ = true; }

  void OnText(std::string_view text) {
    if (openOption_ >= 0) {
      doc_.elements[static_cast<size_t>(openOption_)].text.append(text);
      return;
    }
    if (openSelect_ >= 0) return;
    if (!inBody_) {
      bool blank = std::all_of(text.begin(), text.end(), IsSpace);
      if (blank) return;
      StartBody();
    }
    body_.Text(text);
  }

  void CloseOption() { openOption_ = -1; }
  void CloseSelect() {
    CloseOption();
    openSelect_ = -1;
  }

  void OnStartTag(Tag tag) {
    const std::string name = tag.name;
    if (!inBody_ && name == "body") StartBody();
    if (!inBody_ && !IsHeadTag(name)) StartBody();

    if (name == "option" || name == "optgroup") CloseOption();
    if (name == "select" || name == "input" || name == "textarea" || name == "keygen") CloseSelect();

    // A form inside an open form is ignored, as browsers do.
    if (name == "form" && formPointer_ >= 0) return;

    Element element;
    element.tag = name;
    element.attributes = std::move(tag.attributes);
    int index = static_cast<int>(doc_.elements.size());
    if (IsFormAssociated(name)) element.form = formPointer_;
    if (name == "option") element.select = openSelect_;
    doc_.elements.push_back(std::move(element));
    Element& added = doc_.elements.back();

    if (name == "form") formPointer_ = index;
    if (name == "select") openSelect_ = index;
    if (name == "option" && openSelect_ >= 0) openOption_ = index;
    if (name == "meta" && !doc_.declaredCharset) {
      if (const std::string* cs = added.Attr("charset"); cs && !TrimBlanks(*cs).empty()) {
        doc_.declaredCharset = AsciiLower(TrimBlanks(*cs));
      } else if (const std::string* eq = added.Attr("http-equiv");
                 eq && EqualsIgnoringAsciiCase(*eq, "content-type")) {
        if (const std::string* content = added.Attr("content"))
          doc_.declaredCharset = CharsetFromMetaContent(*content);
      }
    }
    if (name == "base" && !doc_.baseHref) {
      if (const std::string* href = added.Attr("href")) doc_.baseHref = *href;
    }

    if (name == "br") body_.LineBreak();
    else if (IsBlock(name)) body_.Block();
    else if (name == "td" || name == "th") body_.Space();

    // Elements whose content is not markup.
    if (IsOneOf(name, {"script", "style", "xmp", "iframe", "noembed", "noframes"})) {
      SkipRawText(name);
    } else if (name == "textarea" || name == "title") {
      size_t end = FindEndTag(s_, pos_, name);
      std::string_view raw = s_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
      std::string text = DecodeCharacterReferences(raw, false);
      if (name == "textarea") {
        // A line break right after the start tag is not part of the value.
        if (text.compare(0, 2, "\r\n") == 0) text.erase(0, 2);
        else if (!text.empty() && (text[0] == '\n' || text[0] == '\r')) text.erase(0, 1);
        doc_.elements[static_cast<size_t>(index)].text = std::move(text);
      } else {
        std::string storage;
        std::string title(CollapseWhitespace(text, storage));
        if (doc_.title.empty()) doc_.title = title;
        doc_.elements[static_cast<size_t>(index)].text = std::move(title);
      }
      pos_ = end == std::string_view::npos ? s_.size() : end;
    } else if (name == "plaintext") {
      OnText(s_.substr(pos_));
      pos_ = s_.size();
    }
  }

  void SkipRawText(std::string_view name) {
    size_t end = FindEndTag(s_, pos_, name);
    pos_ = end == std::string_view::npos ? s_.size() : end;
  }

  void OnEndTag(const std::string& name) {
    if (name == "form") formPointer_ = -1;
    if (name == "option" || name == "optgroup") CloseOption();
    if (name == "select") CloseSelect();
    if (name == "br") body_.LineBreak();  // "</br>" is a line break in browsers
    else if (IsBlock(name)) body_.Block();
  }

  // A control naming its form with the form attribute belongs to that form, or to none.
  void ResolveFormAttributes() {
    std::unordered_map<std::string, int> ids;
    for (size_t i = 0; i < doc_.elements.size(); ++i)
      if (const std::string* id = doc_.elements[i].Attr("id"); id && !id->empty())
        ids.emplace(*id, static_cast<int>(i));
    for (Element& e : doc_.elements) {
      if (!IsFormAssociated(e.tag) || e.tag == "img") continue;
      const std::string* formId = e.Attr("form");
      if (!formId) continue;
      auto it = ids.find(*formId);
      e.form = (it != ids.end() && doc_.elements[static_cast<size_t>(it->second)].tag == "form")
                   ? it->second
                   : -1;
    }
  }

  std::string_view s_;
  size_t pos_ = 0;
  Document doc_;
  BodyText body_;
  bool inBody_ = false;
  int formPointer_ = -1;
  int openSelect_ = -1;
  int openOption_ = -1;
};

}  // namespace

const std::string* Element::Attr(std::string_view name) const {
  for (const auto& a : attributes)
    if (a.name == name) return &a.value;
  return nullptr;
}

std::vector<int> Document::ElementsNamed(std::string_view name) const {
  std::vector<int> found;
  for (size_t i = 0; i < elements.size(); ++i) {
    const std::string* n = elements[i].Attr("name");
    const std::string* id = elements[i].Attr("id");
    if ((n && *n == name) || (id && *id == name)) found.push_back(static_cast<int>(i));
  }
  return found;
}

std::string DecodeCharacterReferences(std::string_view text, bool inAttribute) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t amp = text.find('&', i);
    if (amp == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, amp - i));
    size_t used = DecodeOne(text, amp, inAttribute, out);
    if (used == 0) {
      out += '&';
      i = amp + 1;
    } else {
      i = amp + used;
    }
  }
  return out;
}

std::optional<std::string> CharsetFromContentType(std::string_view contentType) {
  return CharsetFromMetaContent(contentType);
}

Document Parse(std::string_view text) { return Parser(text).Run(); }

}  // namespace tovren::online::html
