#pragma once
// `提交` (submit): the hidden window whose browser `WebIndex` registers the player's own
// address on the web server. Opened on a list's registration page by the start sequence;
// when the page has loaded it clicks the page's element named "Submit" if the address
// list lacks the own address, and closes itself whether it clicked or not. The player
// never sees it.
//
// It sends only to the configured web host: WebIndex never leaves that origin (a
// registration page redirected elsewhere is not even asked for there), and a page or a
// form target on another origin is never submitted to.
#include <optional>
#include <string>
#include <string_view>

#include "online/browser.h"
#include "online/monitor.h"
#include "platform/api/platform.h"

namespace tovren::online {

class 提交 {
 public:
  static constexpr const char* kTitle = "提交";
  static constexpr const char* kSubmitName = "Submit";

  提交(const platform::Platform& platform, 动态& monitor, RequestLimits limits = {});
  ~提交();
  提交(const 提交&) = delete;
  提交& operator=(const 提交&) = delete;

  // Opens the window (when it is not open) and lets WebIndex load address, written
  // without a scheme. A page still loading is superseded by the new one. When the
  // own-address page failed or came back empty, it is loaded again first, and the page
  // is acted on once that has come.
  void Open(std::string_view address);
  // Ends the window and its browser. A submission already sent is not called back.
  void Close();
  bool IsOpen() const { return hwnd_ != 0; }
  platform::Hwnd hwnd() const { return hwnd_; }

  Browser WebIndex;

 private:
  void OnDocumentComplete();
  void OnOwnAddressLoaded();
  void Decide();

  platform::Platform p_;
  动态& monitor_;
  std::optional<std::string> origin_;  // the configured web host's, "http://host:port"
  platform::Hwnd hwnd_ = 0;
  bool awaitingOwnAddress_ = false;
};

}  // namespace tovren::online
