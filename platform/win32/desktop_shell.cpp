// The pointer, the screen, the tray icon and the standard dialogs.
#include "platform/win32/desktop.h"

#include <commdlg.h>
#include <shellapi.h>

#include "platform/win32/wide.h"

namespace tovren::win32 {

platform::PointPx Win32Desktop::CursorPos() {
  POINT p{0, 0};
  GetCursorPos(&p);
  return {p.x, p.y};
}

void Win32Desktop::ClipCursor(const std::optional<RectPx>& rect) {
  if (!rect) {
    ::ClipCursor(nullptr);
    return;
  }
  RECT r{rect->left, rect->top, rect->left + rect->width, rect->top + rect->height};
  ::ClipCursor(&r);
}

platform::SizePx Win32Desktop::ScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool Win32Desktop::Notify(DWORD action, const platform::TrayIcon& icon) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = reinterpret_cast<HWND>(icon.window);
  data.uID = static_cast<UINT>(icon.id);
  if (action != NIM_DELETE) {
    if (!trayIcon_) {
      // The launcher's application icon, icon group 1, at the tray's size.
      trayIcon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    }
    // Its own message: a real pointer move over the window can never pass for a click.
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = trayIcon_ ? trayIcon_ : LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    std::wstring tip = Wide(icon.tip);
    size_t n = std::min(tip.size(), std::size(data.szTip) - 1);
    if (n > 0 && n < tip.size() && IS_HIGH_SURROGATE(tip[n - 1])) --n;
    tip.copy(data.szTip, n);
    data.szTip[n] = L'\0';
  }
  if (!Shell_NotifyIconW(action, &data)) return false;
  auto same = [&](const platform::TrayIcon& held) {
    return held.window == icon.window && held.id == icon.id;
  };
  std::erase_if(trayIcons_, same);
  if (action != NIM_DELETE) trayIcons_.push_back(icon);
  return true;
}

bool Win32Desktop::AddTrayIcon(const platform::TrayIcon& icon) { return Notify(NIM_ADD, icon); }

bool Win32Desktop::ModifyTrayIcon(const platform::TrayIcon& icon) {
  return Notify(NIM_MODIFY, icon);
}

bool Win32Desktop::RemoveTrayIcon(const platform::TrayIcon& icon) {
  return Notify(NIM_DELETE, icon);
}

void Win32Desktop::RestoreTrayIcons() {
  // The shell was restarted and forgot every icon.
  for (const auto& icon : std::vector<platform::TrayIcon>(trayIcons_)) Notify(NIM_ADD, icon);
}

std::optional<std::string> Win32Desktop::OpenFile(const platform::OpenFileRequest& request) {
  // A modal window ends the press that opened it: no control of ours keeps the capture.
  ::ReleaseCapture();
  std::wstring filter;
  for (const auto& [description, pattern] : request.filters) {
    filter += Wide(description);
    filter.push_back(L'\0');
    filter += Wide(pattern);
    filter.push_back(L'\0');
  }
  filter.push_back(L'\0');
  const size_t chars = request.bufferChars > 1 ? static_cast<size_t>(request.bufferChars) : 2;
  std::wstring file(chars, L'\0');
  std::wstring fileTitle(chars, L'\0');
  std::wstring title = Wide(request.title);
  std::wstring folder = Wide(request.initialFolder);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = reinterpret_cast<HWND>(request.owner);
  ofn.hInstance = GetModuleHandleW(nullptr);
  ofn.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(chars);
  ofn.lpstrFileTitle = fileTitle.data();
  ofn.nMaxFileTitle = static_cast<DWORD>(chars);
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = request.flags;

  // The dialog moves the process's current folder to wherever the user browsed; every
  // game file is named relative to it, so it is put back.
  DWORD length = GetCurrentDirectoryW(0, nullptr);
  std::wstring current(length, L'\0');
  current.resize(GetCurrentDirectoryW(length, current.data()));
  BOOL chosen = GetOpenFileNameW(&ofn);
  if (!current.empty()) SetCurrentDirectoryW(current.c_str());
  if (!chosen) return std::nullopt;
  file.resize(wcsnlen(file.c_str(), file.size()));
  return Utf8(file);
}

void Win32Desktop::ShowMessage(Hwnd owner, const std::string& title, const std::string& text) {
  // Our windows are topmost: a box without owner must not open behind them.
  UINT type = MB_OK | MB_ICONWARNING | MB_SETFOREGROUND;
  if (owner == 0) type |= MB_TOPMOST;
  ::ReleaseCapture();  // as for the file dialog
  MessageBoxW(reinterpret_cast<HWND>(owner), Wide(text).c_str(), Wide(title).c_str(), type);
}

}  // namespace tovren::win32
