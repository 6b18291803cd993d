#pragma once
// The HTML reader of the hidden browser. It reads what the launcher needs of a page and
// no more: every element in document order with its attributes, which form each control
// belongs to, the contents of text areas and options, the declared character set and the
// body text as a browser shows it for a plain page. Real pages are tolerated: tag and
// attribute names in any letter case, quoted and unquoted values, comments, script and
// style, character references, unclosed and stray tags. It never fails.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovren::online::html {

struct Attribute {
  std::string name;   // lower case
  std::string value;  // character references decoded
};

struct Element {
  std::string tag;  // lower case
  std::vector<Attribute> attributes;  // first of each name only, as written
  int form = -1;    // form-associated elements: the owning form's index, -1 for none
  int select = -1;  // options: the index of their select, -1 for none
  std::string text; // textarea: its initial value; option: its text; title: the title

  const std::string* Attr(std::string_view name) const;
  bool Has(std::string_view name) const { return Attr(name) != nullptr; }
};

struct Document {
  std::vector<Element> elements;
  std::string bodyText;  // lines joined with CR LF, blanks collapsed, trimmed
  std::string title;
  std::optional<std::string> declaredCharset;  // from the first meta element naming one
  std::optional<std::string> baseHref;         // the first base element's href

  // Elements whose name or id is exactly name, in document order.
  std::vector<int> ElementsNamed(std::string_view name) const;
};

// text: the page already decoded to UTF-8 (the meta prescan may also run on raw bytes of
// an ASCII-compatible encoding: the markup is all ASCII).
Document Parse(std::string_view text);

// Decodes character references the way text content does (inAttribute false) or an
// attribute value does (legacy references without ';' are kept before '=' or letters).
std::string DecodeCharacterReferences(std::string_view text, bool inAttribute);

// The charset parameter of a Content-Type value ("text/html; charset=gbk"), lower case.
std::optional<std::string> CharsetFromContentType(std::string_view contentType);

}  // namespace tovren::online::html
