#include "platform/win32/http.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/win32/wide.h"

namespace tovren::win32 {
namespace {

using platform::HttpError;

class Internet {
 public:
  explicit Internet(HINTERNET h) : h_(h) {}
  ~Internet() {
    if (h_) WinHttpCloseHandle(h_);
  }
  Internet(const Internet&) = delete;
  Internet& operator=(const Internet&) = delete;
  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HINTERNET h_;
};

[[noreturn]] void Fail(const char* what, const std::string& url, DWORD code) {
  throw HttpError(std::string(what) + " " + url + " failed (error " + std::to_string(code) + ")");
}

// With the system's last error, read before any string is built.
[[noreturn]] void Fail(const char* what, const std::string& url) {
  DWORD code = GetLastError();
  Fail(what, url, code);
}

// Milliseconds left before the deadline, at least 1 while time remains; 0 when it is over.
int Remaining(ULONGLONG deadline) {
  ULONGLONG now = GetTickCount64();
  if (now >= deadline) return 0;
  return static_cast<int>(std::min<ULONGLONG>(deadline - now, 0x7FFFFFFF));
}

void SetDword(HINTERNET h, DWORD option, DWORD value) { WinHttpSetOption(h, option, &value, sizeof value); }

platform::Headers ParseHeaders(const std::wstring& raw) {
  platform::Headers out;
  size_t pos = raw.find(L"\r\n");  // the status line comes first
  while (pos != std::wstring::npos) {
    size_t start = pos + 2;
    pos = raw.find(L"\r\n", start);
    std::wstring line = raw.substr(start, pos == std::wstring::npos ? std::wstring::npos : pos - start);
    size_t colon = line.find(L':');
    if (line.empty() || colon == std::wstring::npos || colon == 0) continue;
    size_t valueStart = line.find_first_not_of(L" \t", colon + 1);
    std::wstring value = valueStart == std::wstring::npos ? L"" : line.substr(valueStart);
    while (!value.empty() && (value.back() == L' ' || value.back() == L'\t')) value.pop_back();
    out.emplace_back(Utf8(line.substr(0, colon)), Utf8(value));
  }
  return out;
}

std::wstring QueryRawHeaders(HINTERNET request) {
  DWORD bytes = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &bytes,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return {};
  std::wstring raw(bytes / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, raw.data(),
                           &bytes, WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  raw.resize(bytes / sizeof(wchar_t));
  return raw;
}

}  // namespace

platform::HttpResponse Win32Http::Send(const platform::HttpRequest& request) {
  const std::string& url = request.url;
  // Non-positive limits would mean "wait for ever" to WinHTTP; every call here must end.
  const int total = std::max(1, request.totalTimeoutMs);
  const int connect = std::clamp(request.connectTimeoutMs, 1, total);
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(total);

  std::wstring wideUrl = Wide(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (wideUrl.empty() || !WinHttpCrackUrl(wideUrl.c_str(), static_cast<DWORD>(wideUrl.size()), 0, &parts)) {
    Fail("parse address", url);
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    throw HttpError("unsupported scheme in " + url);
  }
  std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  Internet session(WinHttpOpen(L"TovrenLauncher/1.0", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) Fail("open session for", url);
  WinHttpSetTimeouts(session.get(), connect, connect, total, total);

  Internet connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) Fail("connect to", url);

  std::wstring method = Wide(request.method.empty() ? std::string("GET") : request.method);
  Internet req(WinHttpOpenRequest(connection.get(), method.c_str(), path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                  WINHTTP_DEFAULT_ACCEPT_TYPES,
                                  parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!req) Fail("open request to", url);
  // The callers decide about redirects and cookies themselves.
  SetDword(req.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES);
  // Without this a server that accepts and never answers holds WinHttpSendRequest for
  // ever under Wine, whatever WinHttpSetTimeouts says.
  SetDword(req.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, static_cast<DWORD>(total));

  std::wstring headers;
  for (const auto& [name, value] : request.headers) headers += Wide(name) + L": " + Wide(value) + L"\r\n";
  void* body = request.body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(request.body.data());
  auto bodySize = static_cast<DWORD>(request.body.size());
  if (!WinHttpSendRequest(req.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                          headers.empty() ? 0 : static_cast<DWORD>(-1L), body, bodySize, bodySize, 0)) {
    Fail("send request to", url);
  }
  if (!WinHttpReceiveResponse(req.get(), nullptr)) Fail("receive response from", url);

  platform::HttpResponse response;
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(req.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    Fail("read status from", url);
  }
  response.status = static_cast<int>(status);
  response.headers = ParseHeaders(QueryRawHeaders(req.get()));

  const std::size_t cap = request.maxBodyBytes;
  for (const auto& [name, value] : response.headers) {
    if (_stricmp(name.c_str(), "Content-Length") == 0 && std::strtoull(value.c_str(), nullptr, 10) > cap) {
      throw HttpError("body of " + url + " is larger than " + std::to_string(cap) + " bytes");
    }
  }
  for (;;) {
    // The time-outs of WinHTTP count per call; the request's limit counts for the whole.
    int left = Remaining(deadline);
    if (left == 0) Fail("read body of", url, ERROR_WINHTTP_TIMEOUT);
    SetDword(req.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, static_cast<DWORD>(left));
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(req.get(), &available)) Fail("read body of", url);
    if (available == 0) break;
    // Never take in more than one byte past the cap: enough to know it is exceeded.
    std::size_t room = cap - std::min(cap, response.body.size()) + 1;
    DWORD want = static_cast<DWORD>(std::min<std::size_t>({available, room, 1u << 20}));
    std::size_t at = response.body.size();
    response.body.resize(at + want);
    DWORD got = 0;
    if (!WinHttpReadData(req.get(), response.body.data() + at, want, &got)) Fail("read body of", url);
    response.body.resize(at + got);
    if (response.body.size() > cap) {
      throw HttpError("body of " + url + " is larger than " + std::to_string(cap) + " bytes");
    }
    if (got == 0) break;
  }
  return response;
}

}  // namespace tovren::win32
