#pragma once
// `提交` (submit): the hidden window whose browser `WebIndex` registers the player's own
// address on the web server. Opened on a list's registration page by the start sequence;
// when the page has loaded it clicks the page's element named "Submit" if the address
// list lacks the own address, and closes itself whether it clicked or not. The player
// never sees it.
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
  // without a scheme. A page still loading is superseded by the new one.
  void Open(std::string_view address);
  // Ends the window and its browser. A submission already sent is not called back.
  void Close();
  bool IsOpen() const { return hwnd_ != 0; }
  platform::Hwnd hwnd() const { return hwnd_; }

  Browser WebIndex;

 private:
  void OnDocumentComplete();

  platform::Platform p_;
  动态& monitor_;
  platform::Hwnd hwnd_ = 0;
};

}  // namespace tovren::online
