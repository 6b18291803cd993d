// The pointer's messages into WindowEvents: moves with the buttons held, downs, the click
// (left down and up on the same control, the capture kept in between) and double clicks.

#include "platform/win32/desktop.h"

#include <windowsx.h>

namespace tovren::win32 {

namespace {
int ButtonsOf(WPARAM keys) {
  int buttons = 0;
  if (keys & MK_LBUTTON) buttons |= platform::kLeftButton;
  if (keys & MK_RBUTTON) buttons |= platform::kRightButton;
  if (keys & MK_MBUTTON) buttons |= platform::kMiddleButton;
  return buttons;
}

bool Inside(HWND hwnd, int x, int y) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return x >= 0 && y >= 0 && x < client.right && y < client.bottom;
}
}  // namespace

void Win32Desktop::RouteMouse(Node& node, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const Hwnd self = reinterpret_cast<Hwnd>(hwnd);
  platform::WindowEvents* events = node.events;
  // Relative to this window; negative or beyond its size while it holds the capture.
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);

  int down = 0;
  switch (message) {
    case WM_LBUTTONDOWN: down = platform::kLeftButton; break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: down = platform::kRightButton; break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: down = platform::kMiddleButton; break;
    default: break;
  }
  if (down) {
    heldButtons_ |= down;
    // Held buttons keep the pointer's messages here, as a pressed control expects. An edit
    // captures by itself.
    if (node.kind != Kind::Edit && GetCapture() != hwnd) {
      ::SetCapture(hwnd);
      node.autoCaptured = true;
    }
    if (down == platform::kLeftButton) {
      pressed_ = hwnd;
      pressLost_ = false;
    }
    if (events) events->OnMouseDown(self, down, x, y);
    return;
  }

  switch (message) {
    case WM_MOUSEMOVE:
      heldButtons_ &= ButtonsOf(wParam);  // a release seen by the system but not by us
      if (events) events->OnMouseMove(self, heldButtons_, x, y);
      return;
    case WM_LBUTTONDBLCLK:
      // The second press of a double click is no click of its own.
      pressed_ = nullptr;
      if (events) events->OnDoubleClick(self);
      return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const bool click =
          message == WM_LBUTTONUP && pressed_ == hwnd && !pressLost_ && Inside(hwnd, x, y);
      const int up = message == WM_LBUTTONUP   ? platform::kLeftButton
                     : message == WM_RBUTTONUP ? platform::kRightButton
                                               : platform::kMiddleButton;
      if (message == WM_LBUTTONUP) pressed_ = nullptr;
      heldButtons_ &= ~up;
      if (node.autoCaptured && !(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
        node.autoCaptured = false;
        if (GetCapture() == hwnd) ::ReleaseCapture();
      }
      if (events) events->OnMouseUp(self, up, x, y);
      // The up handler may have destroyed the control.
      if (click && events && ::IsWindow(hwnd)) events->OnClick(self);
      return;
    }
    case WM_CAPTURECHANGED:
      // lParam is the window gaining the capture; taking it again ourselves is no loss.
      if (reinterpret_cast<HWND>(lParam) != hwnd) {
        if (pressed_ == hwnd) pressLost_ = true;
        node.autoCaptured = false;
        // The release of a press whose capture went away may land outside our windows:
        // a later move must not still count the button as held. Handing the capture on to
        // another of our windows keeps the record (the hover machine does that).
        if (!lParam || !Ours(static_cast<Hwnd>(lParam))) heldButtons_ = 0;
      }
      return;
    default:
      return;
  }
}

void Win32Desktop::SetCapture(Hwnd control) { ::SetCapture(reinterpret_cast<HWND>(control)); }

void Win32Desktop::ReleaseCapture() { ::ReleaseCapture(); }

void Win32Desktop::SetFocus(Hwnd window) {
  if (Ours(window)) ::SetFocus(reinterpret_cast<HWND>(window));
}

platform::Hwnd Win32Desktop::Focused() {
  HWND focus = GetFocus();
  return focus && Ours(reinterpret_cast<Hwnd>(focus)) ? reinterpret_cast<Hwnd>(focus) : 0;
}

}  // namespace tovren::win32
