#pragma once
// Windows, controls and everything the launcher does with the desktop: its own skinned
// windows, other programs' windows (the game, the IP tool), the cursor, the tray icon and
// the standard dialogs. All geometry is in pixels; the logic converts its twips (15 per
// pixel) itself.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/api/types.h"

namespace tovren::platform {

// Mouse buttons as the handlers see them: 1 left, 2 right, 4 middle. For moves the
// button state is the sum of the buttons held.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// What a window of ours hears. Every handler runs on the user-interface thread.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // control: the control under the pointer, or the one holding the mouse capture, or the
  // window itself for its own surface. x, y: pixels relative to that control; while it
  // holds the capture they may lie outside it (negative, or beyond its size).
  virtual void OnMouseMove(Hwnd /*control*/, int /*buttons*/, int /*x*/, int /*y*/) {}
  virtual void OnMouseDown(Hwnd /*control*/, int /*button*/, int /*x*/, int /*y*/) {}
  // A button came up: on the control holding the mouse capture, else the one under the
  // pointer. Comes before the OnClick it may complete.
  virtual void OnMouseUp(Hwnd /*control*/, int /*button*/, int /*x*/, int /*y*/) {}
  // The left button went down and came up over the same control, and the capture was not
  // released in between.
  virtual void OnClick(Hwnd /*control*/) {}
  virtual void OnDoubleClick(Hwnd /*control*/) {}
  // An edit's text changed, typed by the user or set by SetText.
  virtual void OnTextChanged(Hwnd /*edit*/) {}
  virtual void OnFocus(Hwnd /*edit*/) {}
  // Tab (backwards: Shift+Tab) pressed in an edit, which does nothing with it itself.
  virtual void OnTab(Hwnd /*edit*/, bool /*backwards*/) {}
  // The window became the active window (by the system, a click or a request of ours).
  virtual void OnActivate(Hwnd /*window*/) {}
  // The tray icon's mouse message (513 left button down, 517 right button up, ...), on the
  // window named in the tray icon record. Its own message, never a real pointer move.
  virtual void OnTrayNotify(int /*code*/) {}
  // The system asks the window to close (Alt+F4, end of session). Nothing is destroyed
  // unless the handler calls Destroy.
  virtual void OnCloseRequest(Hwnd /*window*/) {}
};

struct WindowSpec {
  std::string title;
  RectPx rect;                  // client area on the screen
  Hwnd owner = 0;               // owner window, 0 for none
  bool taskbarButton = false;   // the launcher's windows have none
  std::string backgroundBitmap; // bitmap resource painted as the background, "" for none
  Rgb backgroundColor = 0xFF00FF;
};

enum class ControlKind {
  Picture,  // shows a bitmap resource; may contain other controls (a panel)
  Label,    // text on a transparent background
  Edit,     // single-line text field without border
};

struct ControlSpec {
  ControlKind kind = ControlKind::Picture;
  Hwnd parent = 0;     // a window of ours or a Picture
  RectPx rect;         // inside the parent
  std::string bitmap;  // Picture: the bitmap it starts with
  std::string text;    // Label, Edit
};

struct FontSpec {
  std::string face = "宋体";
  double points = 10.5;
  bool bold = true;
  int charset = 134;  // GB2312
};

struct TrayIcon {
  Hwnd window = 0;  // receives OnTrayNotify
  int id = 1;
  std::string tip;  // at most 63 bytes in the system's record
};

struct OpenFileRequest {
  Hwnd owner = 0;
  std::string title;
  // Pairs of (description, pattern), e.g. {"可执行文件(*.exe)", "*.exe"}.
  std::vector<std::pair<std::string, std::string>> filters;
  std::string initialFolder;
  std::uint32_t flags = 0;
  int bufferChars = 255;
};

// The drawing of one layered picture window. Destroying it releases the drawing objects.
class LayeredSurface {
 public:
  virtual ~LayeredSurface() = default;
  virtual SizePx ImageSize() const = 0;
  // One update of the whole layer at this overall alpha, the window's position kept.
  virtual void Present(std::uint8_t alpha) = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  // --- our own windows and controls -------------------------------------------------
  // Created hidden. events may be null. Throws OsError when the system refuses.
  virtual Hwnd CreateTopLevel(const WindowSpec& spec, WindowEvents* events) = 0;
  virtual Hwnd CreateControl(const ControlSpec& spec, WindowEvents* events) = 0;
  // Destroys a window or control and its children; no events are delivered for it after.
  virtual void Destroy(Hwnd window) = 0;
  virtual bool IsWindow(Hwnd window) = 0;

  // Hiding a window takes the mouse capture from it and from its controls: the press that
  // hid it is over for them.
  virtual void Show(Hwnd window, bool visible) = 0;
  virtual bool IsVisible(Hwnd window) = 0;
  // Top-level: client area on the screen. Control: inside its parent.
  virtual void Move(Hwnd window, const RectPx& rect) = 0;
  virtual RectPx GetRect(Hwnd window) = 0;
  virtual void SetOwner(Hwnd window, Hwnd owner) = 0;

  // The window skins: layered style bit, colour key, topmost band.
  virtual void AddLayeredStyle(Hwnd window) = 0;
  virtual void SetColorKey(Hwnd window, Rgb key) = 0;
  virtual void SetTopmost(Hwnd window) = 0;
  // nullptr when the graphics library does not start. A picture that cannot be decoded
  // gives a surface of size 0 x 0 that draws nothing: the window stays invisible.
  virtual std::unique_ptr<LayeredSurface> CreateLayeredSurface(Hwnd window, const Bytes& png) = 0;

  virtual void SetPicture(Hwnd picture, const std::string& bitmapName) = 0;
  virtual void SetText(Hwnd window, const std::string& text) = 0;
  virtual std::string GetText(Hwnd window) = 0;
  virtual void SetTextColor(Hwnd control, Rgb color) = 0;
  virtual void SetFont(Hwnd control, const FontSpec& font) = 0;
  virtual void SetTextLimit(Hwnd edit, int characters) = 0;
  virtual void SetSelection(Hwnd edit, int start, int length) = 0;
  virtual void SetTooltip(Hwnd control, const std::string& text) = 0;

  virtual void SetCapture(Hwnd control) = 0;
  virtual void ReleaseCapture() = 0;

  // The keyboard focus: an edit of ours, or one of our windows (which ignores the keys).
  // Giving an edit the focus reports OnFocus when it did not have it.
  virtual void SetFocus(Hwnd window) = 0;
  // Where the keys go now, 0 when not to a window of ours.
  virtual Hwnd Focused() = 0;
  // Puts a top-level window of ours above every other window of its band (the topmost
  // band for ours); with activate it also becomes the foreground window.
  virtual void BringToFront(Hwnd window, bool activate) = 0;

  // --- any window on the desktop ----------------------------------------------------
  virtual Hwnd FindTopLevel(const std::string& title) = 0;
  // First child of parent whose text is text; 0 when parent is 0 or nothing matches.
  virtual Hwnd FindChild(Hwnd parent, const std::string& text) = 0;
  virtual Hwnd Foreground() = 0;
  // Title, at most 254 bytes of the system's ANSI form.
  virtual std::string WindowTitle(Hwnd window) = 0;
  // The client area on the screen, or nothing when there is no such window.
  virtual std::optional<RectPx> ClientRectOnScreen(Hwnd window) = 0;
  // WM_SETTEXT, waiting at most timeoutMs; false when it timed out or failed.
  virtual bool SendText(Hwnd window, const std::string& text, int timeoutMs) = 0;
  virtual void PostMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) = 0;

  // --- pointer, screen, tray, dialogs -------------------------------------------------
  virtual PointPx CursorPos() = 0;
  // Confines the pointer to rect (screen pixels); nothing releases the clip.
  virtual void ClipCursor(const std::optional<RectPx>& rect) = 0;
  virtual SizePx ScreenSize() = 0;

  // The icon is the launcher's application icon. Failures are ignored by the callers.
  virtual bool AddTrayIcon(const TrayIcon& icon) = 0;
  virtual bool ModifyTrayIcon(const TrayIcon& icon) = 0;
  virtual bool RemoveTrayIcon(const TrayIcon& icon) = 0;

  // The chosen file's full path, or nothing when cancelled or failed. Modal: like a message
  // box it takes the mouse capture, and runs a loop of its own meanwhile.
  virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;
  // A modal message box with an OK button.
  virtual void ShowMessage(Hwnd owner, const std::string& title, const std::string& text) = 0;
};

}  // namespace tovren::platform
