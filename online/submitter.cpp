#include "online/submitter.h"

#include "online/url.h"

namespace tovren::online {

提交::提交(const platform::Platform& platform, 动态& monitor, RequestLimits limits)
    : WebIndex(platform.http, platform.worker, limits), p_(platform), monitor_(monitor) {
  if (std::optional<Url> host = ParseUrl(WithDefaultScheme(monitor_.options().webHost)))
    origin_ = host->Origin();
  // Without a host of its own there is nowhere it may send to; the page is never asked for.
  WebIndex.StayOn(origin_.value_or("-"));
  WebIndex.OnDocumentComplete([this] { OnDocumentComplete(); });
  monitor_.WebIP.OnDocumentComplete([this] { OnOwnAddressLoaded(); });
}

提交::~提交() {
  monitor_.WebIP.OnDocumentComplete(nullptr);
  if (hwnd_) p_.desktop.Destroy(hwnd_);
}

void 提交::Open(std::string_view address) {
  if (!hwnd_) {
    platform::WindowSpec spec;
    spec.title = kTitle;
    spec.rect = {0, 0, 6, 6};  // 90 by 90 twips, no owner; it stays hidden
    hwnd_ = p_.desktop.CreateTopLevel(spec, nullptr);
  }
  // A failure at start-up must not cost the whole session its registration: the first
  // registration of a start asks for the own address again.
  Browser& webIP = monitor_.WebIP;
  std::optional<std::string> own = monitor_.OwnAddress();
  if ((!own || own->empty()) && !webIP.Busy()) webIP.Navigate(monitor_.OwnAddressPage());
  WebIndex.Navigate(address);
}

void 提交::Close() {
  WebIndex.Stop();
  awaitingOwnAddress_ = false;
  if (!hwnd_) return;
  p_.desktop.Destroy(hwnd_);
  hwnd_ = 0;
}

void 提交::OnDocumentComplete() {
  if (!hwnd_) return;
  if (monitor_.WebIP.Busy()) {
    awaitingOwnAddress_ = true;  // decided when the own address has come
    return;
  }
  Decide();
}

void 提交::OnOwnAddressLoaded() {
  if (!awaitingOwnAddress_ || !hwnd_) return;
  awaitingOwnAddress_ = false;
  // A newer registration page on its way is acted on when it arrives.
  if (WebIndex.Busy()) return;
  Decide();
}

void 提交::Decide() {
  const std::string& list = monitor_.IP.Text();
  // Without the own-address page there is nothing to look for, and nothing is sent.
  std::optional<std::string> own = monitor_.OwnAddress();
  const Page* page = WebIndex.Document();
  const bool onOurHost = page && page->url && origin_ && page->url->Origin() == *origin_;
  if (own && list.find(*own) == std::string::npos && !WebIndex.Busy() && page && page->Loaded() &&
      onOurHost) {
    // Only a page with exactly one such element says unambiguously what to press. The
    // click sends the form only back to the page's own origin, which is ours.
    std::vector<int> submit = WebIndex.ElementsNamed(kSubmitName);
    if (submit.size() == 1) WebIndex.Click(submit.front());
  }
  Close();
}

}  // namespace tovren::online
