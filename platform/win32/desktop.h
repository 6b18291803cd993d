#pragma once
// The desktop on Windows: our skinned windows and controls, other programs' windows, the
// pointer, the tray and the standard dialogs. A thin translation onto user32, gdi32,
// shell32 and comdlg32; the behaviour of the launcher lives in the logic above.
//
// Create and use it on the user-interface thread; all our windows live on that thread.
// What the interface leaves open is settled here as follows:
// - Controls are created visible, above their earlier siblings (a later control covers
//   an earlier one where they overlap). Pictures and labels without events are
//   transparent to the mouse: the pointer's messages go to what lies beneath them.
// - A left, right or middle button going down on one of our windows captures the mouse
//   to it until the buttons are up again (unless it held the capture already), so moves
//   while a button is held reach it even outside.
// - Destroying a window does not destroy the windows it owns: they lose their owner.
// - The tray icon reports through a message of its own (kTrayMessage), never a mouse move.
// - The file dialog keeps the process's current folder, which is the game folder.
#include "platform/win32/windows_api.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/api/desktop.h"
#include "platform/api/errors.h"

namespace tovren::win32 {

class Win32Desktop : public platform::Desktop {
 public:
  using Hwnd = platform::Hwnd;
  using RectPx = platform::RectPx;

  // The tray icon's callback message, sent to the icon's window.
  static constexpr UINT kTrayMessage = WM_APP + 1;

  static constexpr wchar_t kWindowClass[] = L"TovrenWindow";
  static constexpr wchar_t kPictureClass[] = L"TovrenPicture";
  static constexpr wchar_t kLabelClass[] = L"TovrenLabel";

  Win32Desktop();
  // Removes the tray icons still shown and destroys our windows still open.
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  // --- our own windows and controls (desktop_windows.cpp, desktop_controls.cpp) -------
  Hwnd CreateTopLevel(const platform::WindowSpec& spec, platform::WindowEvents* events) override;
  Hwnd CreateControl(const platform::ControlSpec& spec, platform::WindowEvents* events) override;
  void Destroy(Hwnd window) override;
  bool IsWindow(Hwnd window) override;
  void Show(Hwnd window, bool visible) override;
  bool IsVisible(Hwnd window) override;
  void Move(Hwnd window, const RectPx& rect) override;
  RectPx GetRect(Hwnd window) override;
  void SetOwner(Hwnd window, Hwnd owner) override;
  void AddLayeredStyle(Hwnd window) override;
  void SetColorKey(Hwnd window, platform::Rgb key) override;
  void SetTopmost(Hwnd window) override;
  std::unique_ptr<platform::LayeredSurface> CreateLayeredSurface(
      Hwnd window, const platform::Bytes& png) override;
  // Throws OsError when there is no bitmap resource of that name.
  void SetPicture(Hwnd picture, const std::string& bitmapName) override;
  void SetText(Hwnd window, const std::string& text) override;
  std::string GetText(Hwnd window) override;
  void SetTextColor(Hwnd control, platform::Rgb color) override;
  void SetFont(Hwnd control, const platform::FontSpec& font) override;
  void SetTextLimit(Hwnd edit, int characters) override;
  void SetSelection(Hwnd edit, int start, int length) override;
  void SetTooltip(Hwnd control, const std::string& text) override;
  void SetCapture(Hwnd control) override;
  void ReleaseCapture() override;
  void SetFocus(Hwnd window) override;
  Hwnd Focused() override;
  void BringToFront(Hwnd window, bool activate) override;

  // --- any window on the desktop (desktop_foreign.cpp) ---------------------------------
  Hwnd FindTopLevel(const std::string& title) override;
  Hwnd FindChild(Hwnd parent, const std::string& text) override;
  Hwnd Foreground() override;
  std::string WindowTitle(Hwnd window) override;
  std::optional<RectPx> ClientRectOnScreen(Hwnd window) override;
  bool SendText(Hwnd window, const std::string& text, int timeoutMs) override;
  void PostMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) override;

  // --- pointer, screen, tray, dialogs (desktop_shell.cpp) ------------------------------
  platform::PointPx CursorPos() override;
  void ClipCursor(const std::optional<RectPx>& rect) override;
  platform::SizePx ScreenSize() override;
  bool AddTrayIcon(const platform::TrayIcon& icon) override;
  bool ModifyTrayIcon(const platform::TrayIcon& icon) override;
  bool RemoveTrayIcon(const platform::TrayIcon& icon) override;
  std::optional<std::string> OpenFile(const platform::OpenFileRequest& request) override;
  void ShowMessage(Hwnd owner, const std::string& title, const std::string& text) override;

  // For tests: draws a window or control of ours as it paints itself (without its
  // children) into dc, the way WM_PRINTCLIENT does.
  void PaintInto(Hwnd window, HDC dc);

 private:
  enum class Kind { TopLevel, Picture, Label, Edit };

  // What we keep for each of our windows; also reachable from GWLP_USERDATA.
  struct Node {
    Win32Desktop* desktop = nullptr;
    Kind kind = Kind::TopLevel;
    platform::WindowEvents* events = nullptr;
    HBITMAP bitmap = nullptr;             // picture, or a window's background (cached)
    COLORREF background = RGB(255, 0, 255);  // a window's fill
    std::optional<COLORREF> colorKey;     // a window's colour key, once set
    COLORREF textColor = RGB(0, 0, 0);
    HFONT font = nullptr;                 // cached; null: the default GUI font
    WNDPROC editProc = nullptr;           // an edit's own window procedure
    bool surface = false;                 // drawn by a layered surface
    bool autoCaptured = false;            // capture taken by a button press
    bool tooltip = false;                 // registered with its window's tooltip
    std::string editText;                 // an edit's text as last reported
  };

  static LRESULT CALLBACK OwnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static Node* NodeOf(HWND hwnd);
  static BOOL CALLBACK Silence(HWND child, LPARAM);
  LRESULT Handle(Node& node, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleEdit(Node& node, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Forget(HWND hwnd);

  // desktop_mouse.cpp: the pointer's messages into WindowEvents.
  void RouteMouse(Node& node, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // desktop_controls.cpp
  void Paint(Node& node, HWND hwnd, HDC dc);
  void PaintParent(HWND child, HDC dc);
  HBITMAP Bitmap(const std::string& name);
  HFONT Font(const platform::FontSpec& spec);
  HBRUSH Brush(COLORREF color);
  COLORREF KeyColorOf(HWND control);
  LRESULT ColorEdit(HWND edit, HDC dc);
  HWND TooltipOf(HWND control);

  // desktop_shell.cpp
  bool Notify(DWORD action, const platform::TrayIcon& icon);
  void RestoreTrayIcons();

  Node* Ours(Hwnd window);

  std::map<HWND, std::unique_ptr<Node>> nodes_;
  std::map<std::wstring, HBITMAP> bitmaps_;  // by upper-case resource name
  std::map<std::tuple<std::wstring, int, bool, int>, HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::map<HWND, HWND> tooltips_;  // our top-level window -> its tooltip window
  std::vector<platform::TrayIcon> trayIcons_;  // as the shell holds them now
  HICON trayIcon_ = nullptr;
  UINT taskbarCreated_ = 0;
  HWND pressed_ = nullptr;      // where the left button went down
  bool pressLost_ = false;      // its capture was taken away meanwhile
  // Buttons seen going down on our windows and not yet up. A press that hides its window
  // (start, minimise) never sees its release under Wine, which then keeps reporting the
  // button as held in every later move; moves report only the buttons in this record.
  int heldButtons_ = 0;
  HWND settingText_ = nullptr;  // an edit whose text SetText is writing
};

}  // namespace tovren::win32
