#include "online/form.h"

#include "online/fetch.h"
#include "online/text_util.h"
#include "platform/api/codepage.h"

namespace tovren::online {
namespace {

std::string NormalizeLineBreaks(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Lower(const std::string* text) { return text ? AsciiLower(TrimBlanks(*text)) : ""; }

bool IsSubmitButton(const html::Element& e) {
  if (e.tag == "input") {
    std::string type = Lower(e.Attr("type"));
    return type == "submit" || type == "image";
  }
  if (e.tag == "button") {
    std::string type = Lower(e.Attr("type"));
    return type.empty() || type == "submit" ||
           (type != "button" && type != "reset");  // unknown types are submit buttons
  }
  return false;
}

std::string CollapsedText(std::string_view text) {
  std::string out;
  bool space = false;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
      space = !out.empty();
      continue;
    }
    if (space) out += ' ';
    space = false;
    out += c;
  }
  return out;
}

bool IsDisabled(const html::Document& doc, int index) {
  const html::Element& e = doc.elements[static_cast<size_t>(index)];
  return e.Has("disabled");
}

}  // namespace

FormEntries FormDataSet(const html::Document& doc, int form, int submitter) {
  FormEntries entries;
  if (form < 0) return entries;
  for (size_t i = 0; i < doc.elements.size(); ++i) {
    const html::Element& e = doc.elements[i];
    if (e.form != form || IsDisabled(doc, static_cast<int>(i))) continue;
    const std::string* namePtr = e.Attr("name");
    std::string name = namePtr ? *namePtr : "";
    bool isSubmitter = static_cast<int>(i) == submitter;
    if (e.tag == "input") {
      std::string type = Lower(e.Attr("type"));
      const std::string* value = e.Attr("value");
      if (type == "image") {
        if (!isSubmitter) continue;
        std::string prefix = name.empty() ? "" : name + ".";
        entries.emplace_back(prefix + "x", "0");
        entries.emplace_back(prefix + "y", "0");
        continue;
      }
      if (name.empty()) continue;
      if (type == "submit") {
        if (isSubmitter) entries.emplace_back(name, value ? *value : "Submit");
        continue;
      }
      if (type == "reset" || type == "button") continue;
      if (type == "checkbox" || type == "radio") {
        if (e.Has("checked")) entries.emplace_back(name, value ? *value : "on");
        continue;
      }
      if (type == "file") {
        entries.emplace_back(name, "");
        continue;
      }
      if (type == "hidden" && EqualsIgnoringAsciiCase(name, "_charset_") && (!value || value->empty())) {
        entries.emplace_back(name, "");  // filled in by the caller's charset
        continue;
      }
      entries.emplace_back(name, value ? *value : "");
    } else if (e.tag == "button") {
      if (isSubmitter && !name.empty()) {
        const std::string* value = e.Attr("value");
        entries.emplace_back(name, value ? *value : "");
      }
    } else if (e.tag == "textarea") {
      if (!name.empty()) entries.emplace_back(name, e.text);
    } else if (e.tag == "select") {
      if (name.empty()) continue;
      bool multiple = e.Has("multiple");
      std::vector<size_t> options;
      for (size_t k = i + 1; k < doc.elements.size(); ++k)
        if (doc.elements[k].tag == "option" && doc.elements[k].select == static_cast<int>(i))
          options.push_back(k);
      std::vector<size_t> chosen;
      for (size_t k : options)
        if (doc.elements[k].Has("selected")) {
          chosen.push_back(k);
          if (!multiple) chosen = {k};  // the last selected one wins in a single select
        }
      if (chosen.empty() && !multiple) {
        // A drop-down shows, and sends, its first enabled option.
        for (size_t k : options)
          if (!doc.elements[k].Has("disabled")) {
            chosen.push_back(k);
            break;
          }
      }
      for (size_t k : chosen) {
        const html::Element& option = doc.elements[k];
        if (option.Has("disabled")) continue;
        const std::string* value = option.Attr("value");
        entries.emplace_back(name, value ? *value : CollapsedText(option.text));
      }
    }
  }
  for (auto& [name, value] : entries) {
    name = NormalizeLineBreaks(name);
    value = NormalizeLineBreaks(value);
  }
  return entries;
}

std::string EncodeForm(const FormEntries& entries, bool gbk) {
  static const char kHex[] = "0123456789ABCDEF";
  auto encode = [&](const std::string& text, std::string& out) {
    std::string bytes = gbk ? platform::Utf8ToGbk(text) : text;
    for (char ch : bytes) {
      unsigned char c = static_cast<unsigned char>(ch);
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
          c == '*' || c == '-' || c == '.' || c == '_') {
        out += ch;
      } else if (c == ' ') {
        out += '+';
      } else {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 15];
      }
    }
  };
  std::string out;
  for (const auto& [name, value] : entries) {
    if (!out.empty()) out += '&';
    encode(name, out);
    out += '=';
    encode(value, out);
  }
  return out;
}

std::optional<FormSubmission> BuildSubmission(const html::Document& doc, int element,
                                              const Url& pageUrl, std::string_view pageCharset) {
  if (element < 0 || static_cast<size_t>(element) >= doc.elements.size()) return std::nullopt;
  const html::Element& button = doc.elements[static_cast<size_t>(element)];
  if (!IsSubmitButton(button) || button.Has("disabled") || button.form < 0) return std::nullopt;
  const html::Element& form = doc.elements[static_cast<size_t>(button.form)];

  Url base = pageUrl;
  if (doc.baseHref)
    if (auto resolved = ResolveUrl(pageUrl, *doc.baseHref)) base = *resolved;

  const std::string* action = button.Attr("formaction");
  if (!action) action = form.Attr("action");
  std::optional<Url> target =
      (action && !TrimBlanks(*action).empty()) ? ResolveUrl(base, *action) : std::optional<Url>(pageUrl);
  if (!target || target->Origin() != pageUrl.Origin()) return std::nullopt;

  const std::string* methodAttr = button.Attr("formmethod");
  if (!methodAttr) methodAttr = form.Attr("method");
  std::string method = Lower(methodAttr) == "post" ? "POST" : "GET";

  // The form's accept-charset when it names one we can encode, else the page's charset.
  bool gbk = IsGbkCharset(pageCharset);
  if (const std::string* accept = form.Attr("accept-charset")) {
    std::string list = AsciiLower(*accept);
    for (size_t start = 0; start < list.size();) {
      size_t end = list.find_first_of(" ,\t", start);
      std::string token = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (token == "utf-8" || token == "utf8") { gbk = false; break; }
      if (IsGbkCharset(token)) { gbk = true; break; }
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }

  FormEntries entries = FormDataSet(doc, button.form, element);
  for (auto& [name, value] : entries)
    if (EqualsIgnoringAsciiCase(name, "_charset_") && value.empty()) value = gbk ? "GBK" : "UTF-8";
  std::string data = EncodeForm(entries, gbk);

  FormSubmission submission;
  submission.method = method;
  submission.url = *target;
  submission.url.fragment.reset();
  if (method == "GET") submission.url.query = data;
  else submission.body = std::move(data);
  return submission;
}

}  // namespace tovren::online
