// Other programs' windows: found by title or by a child's text, their titles, client
// areas, and messages sent with a time-out or posted.
#include "platform/win32/desktop.h"
#include "platform/win32/wide.h"

namespace tovren::win32 {

platform::Hwnd Win32Desktop::FindTopLevel(const std::string& title) {
  // Titles are compared as Unicode, whatever the system's code page.
  return reinterpret_cast<Hwnd>(FindWindowW(nullptr, Wide(title).c_str()));
}

platform::Hwnd Win32Desktop::FindChild(Hwnd parent, const std::string& text) {
  // Without a parent FindWindowEx would search the top-level windows instead.
  if (parent == 0) return 0;
  HWND owner = reinterpret_cast<HWND>(parent);
  const std::wstring wanted = Wide(text);
  if (HWND found = FindWindowExW(owner, nullptr, nullptr, wanted.c_str()))
    return reinterpret_cast<Hwnd>(found);
  // An EDIT control keeps its text to itself (under Wine it never reaches the window text
  // FindWindowEx compares), so the children are asked for their text, each briefly.
  for (HWND child = FindWindowExW(owner, nullptr, nullptr, nullptr); child;
       child = FindWindowExW(owner, child, nullptr, nullptr)) {
    std::wstring buffer(wanted.size() + 2, L'\0');
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(child, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, &length))
      continue;
    if (length == wanted.size() && buffer.compare(0, length, wanted) == 0)
      return reinterpret_cast<Hwnd>(child);
  }
  return 0;
}

platform::Hwnd Win32Desktop::Foreground() { return reinterpret_cast<Hwnd>(GetForegroundWindow()); }

std::string Win32Desktop::WindowTitle(Hwnd window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  if (!::IsWindow(hwnd)) return {};
  int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring title(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(hwnd, title.data(), length + 1);
  title.resize(static_cast<size_t>(got < 0 ? 0 : got));
  // Cut where the system's ANSI form would reach 254 bytes (a 255-byte buffer), whole
  // characters only; what is kept stays Unicode.
  size_t bytes = 0, end = 0;
  while (end < title.size()) {
    size_t units = (IS_HIGH_SURROGATE(title[end]) && end + 1 < title.size()) ? 2 : 1;
    int n = WideCharToMultiByte(CP_ACP, 0, title.data() + end, static_cast<int>(units), nullptr,
                                0, nullptr, nullptr);
    if (n <= 0) n = 1;
    if (bytes + static_cast<size_t>(n) > 254) break;
    bytes += static_cast<size_t>(n);
    end += units;
  }
  title.resize(end);
  return Utf8(title);
}

std::optional<platform::RectPx> Win32Desktop::ClientRectOnScreen(Hwnd window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  if (!::IsWindow(hwnd)) return std::nullopt;
  RECT client{};
  if (!GetClientRect(hwnd, &client)) return std::nullopt;
  POINT origin{0, 0};
  if (!ClientToScreen(hwnd, &origin)) return std::nullopt;
  return RectPx{origin.x, origin.y, client.right - client.left, client.bottom - client.top};
}

bool Win32Desktop::SendText(Hwnd window, const std::string& text, int timeoutMs) {
  std::wstring wide = Wide(text);
  DWORD_PTR result = 0;
  // A hung program must never hang the launcher.
  LRESULT sent = SendMessageTimeoutW(reinterpret_cast<HWND>(window), WM_SETTEXT, 0,
                                     reinterpret_cast<LPARAM>(wide.c_str()),
                                     SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                     static_cast<UINT>(timeoutMs < 0 ? 0 : timeoutMs), &result);
  return sent != 0 && result != 0;
}

void Win32Desktop::PostMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
  ::PostMessageW(reinterpret_cast<HWND>(window), message, static_cast<WPARAM>(wParam),
               static_cast<LPARAM>(lParam));
}

}  // namespace tovren::win32
