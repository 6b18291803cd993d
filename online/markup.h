#pragma once
// Telling a page from a bare text. The address list and the own address are bare texts;
// a captive portal, a proxy's notice or a host's error page arrives as an HTML page, often
// with status 200, and must never be read as addresses.
#include <string_view>

#include "platform/api/http.h"

namespace tovren::online {

// The response says it is an HTML page (Content-Type text/html or application/xhtml+xml).
bool ServedAsHtml(const platform::Headers& headers);

// text, decoded, is a page rather than a bare text: after a byte-order mark and blanks it
// begins as markup ('<'), or it holds an element that only an HTML document has (html,
// head, body, doctype, meta, title, script, form, iframe), in any case.
bool LooksLikeMarkup(std::string_view text);

// What a response that should be a bare text must not be: a body that looks like markup.
// The server's own scripts are sent as text/html by default, so that type alone does not
// rule out a text; together with any tag it does.
bool IsPageNotText(const platform::Headers& headers, std::string_view text);

// The body text of the own-address page is one address, or nothing yet: a word of at most
// 64 ASCII letters, digits and ".:-_[]" (the server may write an IPv6 address or a label
// such as "IP:"), or empty. A login page's text has blanks, other characters, or both.
bool LooksLikeOneAddress(std::string_view text);

}  // namespace tovren::online
