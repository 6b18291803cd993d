#pragma once
// HTTP over WinHTTP: one synchronous exchange per call, bounded in time and size, with no
// redirects followed and no cookies kept.
#include "platform/api/http.h"

namespace tovren::win32 {

class Win32Http : public platform::Http {
 public:
  platform::HttpResponse Send(const platform::HttpRequest& request) override;
};

}  // namespace tovren::win32
