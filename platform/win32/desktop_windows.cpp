// Window classes, our top-level windows, their styles, owner, visibility and place, and
// the window procedure every window of ours shares.

#include "platform/api/errors.h"
#include "platform/win32/desktop.h"

#include <shellapi.h>
#include <windowsx.h>
#include "platform/win32/handler_guard.h"
#include "platform/win32/layered_surface.h"
#include "platform/win32/wide.h"

namespace tovren::win32 {

using platform::OsError;

namespace {
COLORREF ToColorRef(platform::Rgb rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool IsTopLevel(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) == 0; }
}  // namespace

Win32Desktop::Win32Desktop() {
  static const bool registered = [] {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // The launcher's application icon is icon group 1 of its executable.
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    for (const wchar_t* name : {kWindowClass, kPictureClass, kLabelClass}) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = &Win32Desktop::OwnProc;
      wc.hInstance = instance;
      wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
      wc.lpszClassName = name;
      if (name == kWindowClass) wc.hIcon = icon;
      if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw OsError("register window class", GetLastError());
    }
    return true;
  }();
  (void)registered;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
}

Win32Desktop::~Win32Desktop() {
  for (const auto& icon : std::vector<platform::TrayIcon>(trayIcons_)) Notify(NIM_DELETE, icon);
  std::vector<HWND> windows;
  for (auto& entry : nodes_) {
    entry.second->events = nullptr;
    if (entry.second->kind == Kind::TopLevel) windows.push_back(entry.first);
  }
  for (HWND hwnd : windows)
    if (::IsWindow(hwnd)) DestroyWindow(hwnd);
  // Windows that were not destroyed (another thread's) must not reach us any more.
  for (auto& entry : nodes_) SetWindowLongPtrW(entry.first, GWLP_USERDATA, 0);
  nodes_.clear();
  for (auto& entry : bitmaps_) DeleteObject(entry.second);
  for (auto& entry : fonts_) DeleteObject(entry.second);
  for (auto& entry : brushes_) DeleteObject(entry.second);
  if (trayIcon_) DestroyIcon(trayIcon_);
}

Win32Desktop::Node* Win32Desktop::NodeOf(HWND hwnd) {
  return reinterpret_cast<Node*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

Win32Desktop::Node* Win32Desktop::Ours(Hwnd window) {
  auto it = nodes_.find(reinterpret_cast<HWND>(window));
  return it == nodes_.end() ? nullptr : it->second.get();
}

void Win32Desktop::Forget(HWND hwnd) {
  if (pressed_ == hwnd) pressed_ = nullptr;
  if (settingText_ == hwnd) settingText_ = nullptr;
  tooltips_.erase(hwnd);
  // An icon whose window is gone can report nowhere.
  for (const auto& icon : std::vector<platform::TrayIcon>(trayIcons_))
    if (reinterpret_cast<HWND>(icon.window) == hwnd) Notify(NIM_DELETE, icon);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  nodes_.erase(hwnd);
}

LRESULT CALLBACK Win32Desktop::OwnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Node* node = NodeOf(hwnd);
  if (!node) return DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  Guarded([&] {
    result = node->desktop->Handle(*node, hwnd, message, wParam, lParam);
    handled = true;
  });
  return handled ? result : 0;
}

LRESULT Win32Desktop::Handle(Node& node, HWND hwnd, UINT message, WPARAM wParam,
                             LPARAM lParam) {
  const Hwnd self = reinterpret_cast<Hwnd>(hwnd);
  switch (message) {
    case WM_NCHITTEST:
      if (node.kind != Kind::TopLevel && !node.events) return HTTRANSPARENT;
      break;
    case WM_MOUSEACTIVATE:
      // Clicking a layered backdrop would raise its X window over the colour-keyed window
      // it owns (seen under Wine without a window manager).
      if (node.surface) return MA_NOACTIVATE;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && node.events) node.events->OnActivate(self);
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_CAPTURECHANGED:
      RouteMouse(node, hwnd, message, wParam, lParam);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(node, hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(node, hwnd, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
      return ColorEdit(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE && lParam) {
        HWND edit = reinterpret_cast<HWND>(lParam);
        Node* editNode = edit == settingText_ ? nullptr : NodeOf(edit);
        if (!editNode || editNode->kind != Kind::Edit) return 0;
        // Wine notifies a character refused at the limit too; only a real change counts.
        std::string text = GetText(reinterpret_cast<Hwnd>(edit));
        if (text == editNode->editText) return 0;
        editNode->editText = std::move(text);
        if (editNode->events) editNode->events->OnTextChanged(reinterpret_cast<Hwnd>(edit));
        return 0;
      }
      break;
    case WM_CLOSE:
      // Nothing closes unless the logic destroys it.
      if (node.events) node.events->OnCloseRequest(self);
      return 0;
    case WM_ENDSESSION:
      if (wParam && node.events) node.events->OnCloseRequest(self);
      return 0;
    case kTrayMessage:
      if (node.events) node.events->OnTrayNotify(LOWORD(lParam));
      return 0;
    case WM_NCDESTROY:
      Forget(hwnd);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    default:
      if (taskbarCreated_ && message == taskbarCreated_) RestoreTrayIcons();
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

platform::Hwnd Win32Desktop::CreateTopLevel(const platform::WindowSpec& spec,
                                            platform::WindowEvents* events) {
  auto node = std::make_unique<Node>();
  node->desktop = this;
  node->kind = Kind::TopLevel;
  node->background = ToColorRef(spec.backgroundColor);
  if (!spec.backgroundBitmap.empty()) node->bitmap = Bitmap(spec.backgroundBitmap);

  // No caption or border: the skin draws them. A tool window has no taskbar button.
  const DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  const DWORD exStyle = spec.taskbarButton ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
  RECT r{spec.rect.left, spec.rect.top, spec.rect.left + spec.rect.width,
         spec.rect.top + spec.rect.height};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  HWND hwnd = CreateWindowExW(exStyle, kWindowClass, Wide(spec.title).c_str(), style, r.left,
                              r.top, r.right - r.left, r.bottom - r.top,
                              reinterpret_cast<HWND>(spec.owner), nullptr,
                              GetModuleHandleW(nullptr), node.get());
  if (!hwnd) throw OsError("create window " + spec.title, GetLastError());
  Node* raw = node.get();
  nodes_[hwnd] = std::move(node);
  raw->events = events;  // nothing is reported while the window is being made
  return reinterpret_cast<Hwnd>(hwnd);
}

void Win32Desktop::Destroy(Hwnd window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  if (!Ours(window)) return;  // other programs' windows are not ours to destroy
  nodes_[hwnd]->events = nullptr;
  EnumChildWindows(hwnd, &Win32Desktop::Silence, 0);
  // The windows it owns stay: the logic closes each of them in its own order.
  for (auto& entry : nodes_)
    if (entry.second->kind == Kind::TopLevel && GetWindow(entry.first, GW_OWNER) == hwnd)
      SetWindowLongPtrW(entry.first, GWLP_HWNDPARENT, 0);
  DestroyWindow(hwnd);
}

BOOL CALLBACK Win32Desktop::Silence(HWND child, LPARAM) {
  if (Node* node = NodeOf(child)) node->events = nullptr;
  return TRUE;
}

bool Win32Desktop::IsWindow(Hwnd window) {
  return window != 0 && ::IsWindow(reinterpret_cast<HWND>(window));
}

void Win32Desktop::Show(Hwnd window, bool visible) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  Node* node = Ours(window);
  int command = SW_HIDE;
  if (visible) command = node && node->surface ? SW_SHOWNA : SW_SHOW;
  // A hidden window keeps no capture: the press that hid it is over for it.
  if (!visible) {
    HWND holder = GetCapture();
    if (holder && (holder == hwnd || IsChild(hwnd, holder))) ::ReleaseCapture();
  }
  ShowWindow(hwnd, command);
}

bool Win32Desktop::IsVisible(Hwnd window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  return ::IsWindow(hwnd) && (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Desktop::Move(Hwnd window, const RectPx& rect) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  RECT r{rect.left, rect.top, rect.left + rect.width, rect.top + rect.height};
  if (IsTopLevel(hwnd)) {
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
  }
  SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

platform::RectPx Win32Desktop::GetRect(Hwnd window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  if (!::IsWindow(hwnd)) return {};
  if (IsTopLevel(hwnd)) {
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    return {origin.x, origin.y, client.right, client.bottom};
  }
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Desktop::SetOwner(Hwnd window, Hwnd owner) {
  SetWindowLongPtrW(reinterpret_cast<HWND>(window), GWLP_HWNDPARENT,
                    static_cast<LONG_PTR>(owner));
}

void Win32Desktop::AddLayeredStyle(Hwnd window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  LONG exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
  SetWindowLongW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
}

void Win32Desktop::SetColorKey(Hwnd window, platform::Rgb key) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  COLORREF color = ToColorRef(key);
  SetLayeredWindowAttributes(hwnd, color, 0, LWA_COLORKEY);
  if (Node* node = Ours(window)) {
    node->colorKey = color;
    // Edits paint their background in the key colour.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
}

void Win32Desktop::BringToFront(Hwnd window, bool activate) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  if (!Ours(window)) return;
  const bool topmost = (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | (activate ? 0 : SWP_NOACTIVATE));
  if (activate) SetForegroundWindow(hwnd);
}

void Win32Desktop::SetTopmost(Hwnd window) {
  SetWindowPos(reinterpret_cast<HWND>(window), HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::unique_ptr<platform::LayeredSurface> Win32Desktop::CreateLayeredSurface(
    Hwnd window, const platform::Bytes& png) {
  auto surface = Win32LayeredSurface::Create(reinterpret_cast<HWND>(window), png);
  if (surface)
    if (Node* node = Ours(window)) node->surface = true;
  return surface;
}

}  // namespace tovren::win32
