// The HTML reader and the form builder on arbitrary bytes: no crash, no hang, and the
// structural promises hold.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "online/form.h"
#include "online/html.h"
#include "online/text_util.h"
#include "online/url.h"

using namespace tovren::online;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text = SanitizeUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  html::Document doc = html::Parse(text);
  const int count = static_cast<int>(doc.elements.size());
  for (const auto& e : doc.elements) {
    if (e.form < -1 || e.form >= count) std::abort();
    if (e.form >= 0 && doc.elements[static_cast<size_t>(e.form)].tag != "form") std::abort();
    if (e.select >= count) std::abort();
  }
  if (SanitizeUtf8(doc.bodyText) != doc.bodyText) std::abort();  // valid UTF-8 in, valid out
  static const Url page = *ParseUrl("http://127.0.0.1:18642/za/net/1/1/index.asp");
  for (int i : doc.ElementsNamed("Submit")) {
    for (const char* charset : {"utf-8", "gbk"}) {
      auto submission = BuildSubmission(doc, i, page, charset);
      if (submission && submission->url.Origin() != page.Origin()) std::abort();
    }
  }
  for (const auto& e : doc.elements)
    if (const std::string* href = e.Attr("href")) ResolveUrl(page, *href);
  return 0;
}
