#include "online/browser.h"

#include "online/form.h"
#include "online/text_util.h"

namespace tovren::online {
namespace {

// The charset a page is read in: a byte-order mark, else the server's Content-Type, else
// the page's own meta declaration, else UTF-8. Only UTF-8 and GBK are told apart.
std::string ChooseCharset(const platform::Bytes& body, const platform::Headers& headers) {
  std::string_view raw(reinterpret_cast<const char*>(body.data()), body.size());
  if (raw.substr(0, 3) == "\xEF\xBB\xBF") return "utf-8";
  std::optional<std::string> declared;
  if (const std::string* type = FindHeader(headers, "content-type"))
    declared = html::CharsetFromContentType(*type);
  // The markup is ASCII in both encodings, so the raw bytes can be read for the meta
  // element (GBK trail bytes never take the values of '<', '>', '"', '\'' or '=').
  if (!declared) declared = html::Parse(raw.substr(0, 64 * 1024)).declaredCharset;
  return declared && IsGbkCharset(*declared) ? "gbk" : "utf-8";
}

}  // namespace

struct Browser::Result {
  Page page;
  CookieJar cookies;
};

Browser::Browser(platform::Http& http, platform::Worker& worker, RequestLimits limits)
    : http_(http), worker_(worker), limits_(limits), self_(std::make_shared<Browser*>(this)) {}

Browser::~Browser() { *self_ = nullptr; }

void Browser::Navigate(std::string_view address) {
  Request request;
  request.method = "GET";
  request.url = ParseUrl(WithDefaultScheme(address));
  if (!request.url) request.invalidAddress = std::string(address);
  Start(std::move(request));
}

void Browser::Stop() {
  ++generation_;
  loading_ = false;
}

std::optional<std::string> Browser::BodyText() const {
  if (!page_ || !page_->Loaded()) return std::nullopt;
  return page_->document.bodyText;
}

std::vector<int> Browser::ElementsNamed(std::string_view name) const {
  if (!page_) return {};
  return page_->document.ElementsNamed(name);
}

bool Browser::Click(int element) {
  if (!page_ || !page_->url) return false;
  auto submission = BuildSubmission(page_->document, element, *page_->url, page_->charset);
  if (!submission) return false;
  Request request;
  request.method = submission->method;
  request.url = submission->url;
  request.body = std::move(submission->body);
  request.referer = page_->url->ForRequest();
  Start(std::move(request));
  return true;
}

void Browser::Start(Request request) {
  request.stayOn = stayOn_;
  std::uint64_t generation = ++generation_;
  loading_ = true;
  auto result = std::make_shared<Result>();
  result->cookies = cookies_;
  platform::Http* http = &http_;
  RequestLimits limits = limits_;
  // The work owns copies of everything it reads: the browser may be gone when it runs.
  worker_.Run(
      [http, limits, request = std::move(request), result]() mutable {
        Load(*http, limits, std::move(request), *result);
      },
      [self = self_, generation, result]() {
        Browser* browser = *self;
        if (!browser || browser->generation_ != generation) return;
        browser->loading_ = false;
        browser->cookies_ = std::move(result->cookies);
        browser->page_ = std::move(result->page);
        auto handler = browser->onComplete_;
        if (handler) handler();
      });
}

void Browser::Load(platform::Http& http, const RequestLimits& limits, Request request,
                   Result& result) {
  Page& page = result.page;
  if (!request.url) {
    page.address = request.invalidAddress;
    page.error = "not a web address";
    return;
  }
  Url url = *request.url;
  if (!request.stayOn.empty() && url.Origin() != request.stayOn) {
    page.address = url.Serialize();
    page.url = url;
    page.error = "not on " + request.stayOn;
    return;
  }
  for (int hop = 0;; ++hop) {
    platform::HttpRequest r;
    r.method = request.method;
    r.url = url.ForRequest();
    r.connectTimeoutMs = limits.connectTimeoutMs;
    r.totalTimeoutMs = limits.totalTimeoutMs;
    r.maxBodyBytes = limits.maxBodyBytes;
    std::string cookie = result.cookies.HeaderFor(url);
    if (!cookie.empty()) r.headers.emplace_back("Cookie", cookie);
    if (!request.referer.empty()) r.headers.emplace_back("Referer", request.referer);
    if (request.method == "POST") {
      r.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
      r.body = request.body;
    }
    page.address = url.Serialize();
    page.url = url;
    platform::HttpResponse response;
    try {
      response = http.Send(r);
    } catch (const std::exception& e) {
      // A transport failure (or any failure of the client) is a page that did not come.
      page.status = 0;
      page.error = e.what();
      return;
    }
    result.cookies.Store(url, response.headers);
    int s = response.status;
    if (hop < kMaxRedirects) {
      std::optional<Url> next = RedirectTarget(url, response);
      // A redirect off the origin it must stay on ends here, as a page that did not load.
      if (next && !request.stayOn.empty() && next->Origin() != request.stayOn) next.reset();
      if (next) {
        bool keepsBody = s == 307 || s == 308;
        if (!keepsBody && request.method == "POST") {
          request.method = "GET";
          request.body.clear();
        }
        // Form data goes back only to where the form came from.
        if (!(keepsBody && request.method == "POST" && next->Origin() != url.Origin())) {
          if (next->fragment == std::nullopt) next->fragment = url.fragment;
          url = *next;
          continue;
        }
      }
    }
    page.status = s;
    page.charset = ChooseCharset(response.body, response.headers);
    page.document = html::Parse(BytesToText(response.body, page.charset));
    return;
  }
}

}  // namespace tovren::online
