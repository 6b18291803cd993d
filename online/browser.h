#pragma once
// The hidden browser of the online services: it loads pages with the launcher's own HTTP
// client, keeps their cookies, reads them with the HTML reader and submits their forms.
// It runs no script and draws nothing; nobody ever looks at its pages. Loads run on the
// platform's worker; their completion arrives on the user-interface thread like any
// window message.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "online/cookies.h"
#include "online/fetch.h"
#include "online/html.h"
#include "online/url.h"
#include "platform/api/http.h"
#include "platform/api/loop.h"

namespace tovren::online {

struct Page {
  std::string address;  // where the document came from, after redirects
  std::optional<Url> url;
  int status = 0;       // 0 when no response arrived
  std::string charset;  // what the document was decoded with: "utf-8" or "gbk"
  html::Document document;
  std::string error;    // why no response arrived (for maintainers)

  // A document arrived with a success status.
  bool Loaded() const { return status >= 200 && status <= 299; }
};

class Browser {
 public:
  Browser(platform::Http& http, platform::Worker& worker, RequestLimits limits = {});
  ~Browser();
  Browser(const Browser&) = delete;
  Browser& operator=(const Browser&) = delete;

  // Loads address; one written without a scheme is completed to http. A load that is
  // still running is superseded: its document never arrives.
  void Navigate(std::string_view address);

  // A load (navigation or submission) is running.
  bool Busy() const { return loading_; }

  // Runs on the user-interface thread each time a load has completed, failed ones too
  // (their Page says why). The handler may destroy the browser.
  void OnDocumentComplete(std::function<void()> handler) { onComplete_ = std::move(handler); }

  // The last completed page, or nullptr before the first one.
  const Page* Document() const { return page_ ? &*page_ : nullptr; }

  // The body text of the current document; nothing when no document has loaded or the
  // last load failed (no response, or an error status).
  std::optional<std::string> BodyText() const;

  // The elements of the current document named (name or id) `name`, in document order.
  std::vector<int> ElementsNamed(std::string_view name) const;

  // Clicks element `element` of the current document: a submit button submits its form
  // (to the page's own origin only). True when a submission was started.
  bool Click(int element);

  // Drops the running load's completion. A request already on its way is still sent.
  void Stop();

  // Keeps every request on one origin ("http://host:80", as Url::Origin gives it): a load
  // of an address elsewhere, or a redirect there, ends before anything is asked of the
  // other host; its page does not count as loaded. Applies to the loads started after.
  void StayOn(std::string origin) { stayOn_ = std::move(origin); }

 private:
  struct Request {
    std::string method;
    std::optional<Url> url;
    std::string body;
    std::string referer;
    std::string invalidAddress;  // the address when it could not be read
    std::string stayOn;          // the only origin it may reach; "" for any
  };
  struct Result;
  void Start(Request request);
  static void Load(platform::Http& http, const RequestLimits& limits, Request request,
                   Result& result);

  platform::Http& http_;
  platform::Worker& worker_;
  RequestLimits limits_;
  std::shared_ptr<Browser*> self_;
  std::uint64_t generation_ = 0;
  bool loading_ = false;
  CookieJar cookies_;
  std::string stayOn_;
  std::optional<Page> page_;
  std::function<void()> onComplete_;
};

}  // namespace tovren::online
