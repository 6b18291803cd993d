#pragma once
// What a click on a page's submit button sends: the form's data set, encoded as
// application/x-www-form-urlencoded in the page's character set.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "online/html.h"
#include "online/url.h"

namespace tovren::online {

using FormEntries = std::vector<std::pair<std::string, std::string>>;

struct FormSubmission {
  std::string method;  // "GET" or "POST"
  Url url;             // GET: the data is its query
  std::string body;    // POST: the encoded data
};

// The named, enabled controls of form `form` in document order, with the clicked button
// `submitter` (-1 for none) as the only button. Line breaks in values become CR LF.
FormEntries FormDataSet(const html::Document& doc, int form, int submitter);

// name=value&... with '+' for spaces; every byte outside A-Z a-z 0-9 * - . _ as %XX. gbk:
// the texts are sent in GBK (characters GBK lacks become '?'), otherwise in UTF-8.
std::string EncodeForm(const FormEntries& entries, bool gbk);

// What a click on element `element` of the page at pageUrl submits; nothing when the
// element is not an enabled submit button of a form, or when the form's action leads to
// another origin than the page's own (a form is sent only back to where it came from).
// pageCharset: the charset the page was decoded with.
std::optional<FormSubmission> BuildSubmission(const html::Document& doc, int element,
                                              const Url& pageUrl, std::string_view pageCharset);

}  // namespace tovren::online
