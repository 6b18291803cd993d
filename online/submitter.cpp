#include "online/submitter.h"

namespace tovren::online {

提交::提交(const platform::Platform& platform, 动态& monitor, RequestLimits limits)
    : WebIndex(platform.http, platform.worker, limits), p_(platform), monitor_(monitor) {
  WebIndex.OnDocumentComplete([this] { OnDocumentComplete(); });
}

提交::~提交() {
  if (hwnd_) p_.desktop.Destroy(hwnd_);
}

void 提交::Open(std::string_view address) {
  if (!hwnd_) {
    platform::WindowSpec spec;
    spec.title = kTitle;
    spec.rect = {0, 0, 6, 6};  // 90 by 90 twips, no owner; it stays hidden
    hwnd_ = p_.desktop.CreateTopLevel(spec, nullptr);
  }
  WebIndex.Navigate(address);
}

void 提交::Close() {
  WebIndex.Stop();
  if (!hwnd_) return;
  p_.desktop.Destroy(hwnd_);
  hwnd_ = 0;
}

void 提交::OnDocumentComplete() {
  if (!hwnd_) return;
  const std::string& list = monitor_.IP.Text();
  // Without the own-address page there is nothing to look for, and nothing is sent.
  std::optional<std::string> own = monitor_.WebIP.BodyText();
  const Page* page = WebIndex.Document();
  if (own && list.find(*own) == std::string::npos && !WebIndex.Busy() && page && page->Loaded()) {
    // Only a page with exactly one such element says unambiguously what to press.
    std::vector<int> submit = WebIndex.ElementsNamed(kSubmitName);
    if (submit.size() == 1) WebIndex.Click(submit.front());
  }
  Close();
}

}  // namespace tovren::online
