// Controls: pictures (bitmap resources, cached), transparent labels, borderless edits on
// the key colour, fonts, text colours and tooltips.
#include "platform/win32/desktop.h"

#include <commctrl.h>

#include <cmath>

#include "platform/api/errors.h"
#include "platform/win32/handler_guard.h"
#include "platform/win32/wide.h"

namespace tovren::win32 {

using platform::OsError;

namespace {
COLORREF ToColorRef(platform::Rgb rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

WNDPROC EditClassProc() {
  static const WNDPROC proc = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    GetClassInfoExW(nullptr, L"EDIT", &wc);
    return wc.lpfnWndProc;
  }();
  return proc;
}

void DrawBitmap(HDC dc, HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof(info), &info);
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  // Copied as it is: its key-coloured pixels stay key-coloured, so they turn transparent.
  BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

bool Covers(HBITMAP bitmap, const RECT& client) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return false;
  return info.bmWidth >= client.right && info.bmHeight >= client.bottom;
}

bool IsCjkCharset(int charset) {
  return charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET ||
         charset == SHIFTJIS_CHARSET || charset == HANGUL_CHARSET;
}

// Tried in turn when the requested face gives no font of the requested character set
// (a system without SimSun, or Wine with only a free CJK font installed).
constexpr const wchar_t* kCjkFallbacks[] = {
    L"SimSun",          L"NSimSun",          L"新宋体",      L"Microsoft YaHei",
    L"微软雅黑",        L"SimHei",           L"黑体",        L"WenQuanYi Zen Hei",
    L"文泉驿正黑",      L"WenQuanYi Micro Hei", L"Noto Sans CJK SC", L"Source Han Sans SC",
    L"Droid Sans Fallback", L"AR PL UMing CN"};
}  // namespace

platform::Hwnd Win32Desktop::CreateControl(const platform::ControlSpec& spec,
                                           platform::WindowEvents* events) {
  Node* parent = Ours(spec.parent);
  if (!parent || (parent->kind != Kind::TopLevel && parent->kind != Kind::Picture))
    throw OsError("create control: the parent is no window or picture of ours",
                  ERROR_INVALID_WINDOW_HANDLE);
  auto node = std::make_unique<Node>();
  node->desktop = this;
  const wchar_t* windowClass = kPictureClass;
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  std::wstring text;
  switch (spec.kind) {
    case platform::ControlKind::Picture:
      node->kind = Kind::Picture;
      style |= WS_CLIPCHILDREN;
      if (!spec.bitmap.empty()) node->bitmap = Bitmap(spec.bitmap);
      break;
    case platform::ControlKind::Label:
      node->kind = Kind::Label;
      windowClass = kLabelClass;
      text = Wide(spec.text);
      break;
    case platform::ControlKind::Edit:
      node->kind = Kind::Edit;
      windowClass = L"EDIT";
      style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
      text = Wide(spec.text);
      break;
  }
  HWND hwnd = CreateWindowExW(0, windowClass, text.c_str(), style, spec.rect.left,
                              spec.rect.top, spec.rect.width, spec.rect.height,
                              reinterpret_cast<HWND>(spec.parent), nullptr,
                              GetModuleHandleW(nullptr), node.get());
  if (!hwnd) throw OsError("create control", GetLastError());
  Node* raw = node.get();
  nodes_[hwnd] = std::move(node);
  if (raw->kind == Kind::Edit) {
    raw->editText = spec.text;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(raw));
    raw->editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc)));
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  }
  // A later control lies above the earlier ones (new child windows start at the bottom).
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  raw->events = events;
  return reinterpret_cast<Hwnd>(hwnd);
}

LRESULT CALLBACK Win32Desktop::EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Node* node = NodeOf(hwnd);
  if (!node) return CallWindowProcW(EditClassProc(), hwnd, message, wParam, lParam);
  LRESULT result = 0;
  Guarded([&] { result = node->desktop->HandleEdit(*node, hwnd, message, wParam, lParam); });
  return result;
}

LRESULT Win32Desktop::HandleEdit(Node& node, HWND hwnd, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
  const WNDPROC own = node.editProc ? node.editProc : EditClassProc();
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_CAPTURECHANGED:
      RouteMouse(node, hwnd, message, wParam, lParam);
      // The handler may have destroyed the edit.
      if (!::IsWindow(hwnd)) return 0;
      return CallWindowProcW(own, hwnd, message, wParam, lParam);
    case WM_KEYDOWN:
      // A single-line edit outside a dialog ignores Tab: the logic moves the focus.
      if (wParam == VK_TAB) {
        if (node.events)
          node.events->OnTab(reinterpret_cast<Hwnd>(hwnd), (GetKeyState(VK_SHIFT) & 0x8000) != 0);
        return 0;
      }
      return CallWindowProcW(own, hwnd, message, wParam, lParam);
    case WM_CHAR:
      if (wParam == L'\t') return 0;  // no beep and no tab character
      return CallWindowProcW(own, hwnd, message, wParam, lParam);
    case WM_SETFOCUS: {
      LRESULT result = CallWindowProcW(own, hwnd, message, wParam, lParam);
      if (Node* still = NodeOf(hwnd); still && still->events)
        still->events->OnFocus(reinterpret_cast<Hwnd>(hwnd));
      return result;
    }
    case WM_NCDESTROY: {
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
      LRESULT result = CallWindowProcW(own, hwnd, message, wParam, lParam);
      Forget(hwnd);
      return result;
    }
    default:
      return CallWindowProcW(own, hwnd, message, wParam, lParam);
  }
}

void Win32Desktop::Paint(Node& node, HWND hwnd, HDC dc) {
  RECT client{};
  GetClientRect(hwnd, &client);
  switch (node.kind) {
    case Kind::TopLevel:
      FillRect(dc, &client, Brush(node.background));
      if (node.bitmap) DrawBitmap(dc, node.bitmap);
      break;
    case Kind::Picture:
      if (!Covers(node.bitmap, client)) PaintParent(hwnd, dc);
      if (node.bitmap) DrawBitmap(dc, node.bitmap);
      break;
    case Kind::Label: {
      PaintParent(hwnd, dc);  // the label has no background of its own
      int length = GetWindowTextLengthW(hwnd);
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      GetWindowTextW(hwnd, text.data(), length + 1);
      text.resize(static_cast<size_t>(length));
      HGDIOBJ oldFont =
          SelectObject(dc, node.font ? static_cast<HGDIOBJ>(node.font) : GetStockObject(DEFAULT_GUI_FONT));
      ::SetTextColor(dc, node.textColor);
      SetBkMode(dc, TRANSPARENT);
      DrawTextW(dc, text.c_str(), length, &client, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
      SelectObject(dc, oldFont);
      break;
    }
    case Kind::Edit:
      break;  // the edit paints itself
  }
}

void Win32Desktop::PaintParent(HWND child, HDC dc) {
  HWND parent = GetParent(child);
  Node* node = parent ? NodeOf(parent) : nullptr;
  if (!node || node->desktop != this) return;
  RECT client{};
  GetClientRect(child, &client);
  POINT origin{0, 0};
  MapWindowPoints(child, parent, &origin, 1);
  int saved = SaveDC(dc);
  IntersectClipRect(dc, 0, 0, client.right, client.bottom);
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
  Paint(*node, parent, dc);
  RestoreDC(dc, saved);
}

void Win32Desktop::PaintInto(Hwnd window, HDC dc) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  Node* node = Ours(window);
  if (!node) return;
  if (node->kind == Kind::Edit)
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  else
    Paint(*node, hwnd, dc);
}

HBITMAP Win32Desktop::Bitmap(const std::string& name) {
  std::wstring key = Wide(name);
  CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));  // resource names ignore case
  if (auto it = bitmaps_.find(key); it != bitmaps_.end()) return it->second;
  // A DIB section keeps the colours exact (the key colour must stay FF00FF).
  auto bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), key.c_str(),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) {
    DWORD error = GetLastError();
    throw OsError("load bitmap " + name, error ? error : ERROR_RESOURCE_NAME_NOT_FOUND);
  }
  bitmaps_[key] = bitmap;
  return bitmap;
}

HFONT Win32Desktop::Font(const platform::FontSpec& spec) {
  const int tenths = static_cast<int>(std::lround(spec.points * 10));
  auto key = std::make_tuple(Wide(spec.face), tenths, spec.bold, spec.charset);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;

  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(tenths, GetDeviceCaps(screen, LOGPIXELSY), 720);
  auto make = [&](const wchar_t* face) {
    // Not antialiased: edge pixels blended with the key colour would not turn transparent
    // and would fringe the text in magenta.
    return CreateFontW(height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       static_cast<DWORD>(spec.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  };
  auto hasCharset = [&](HFONT font) {
    HGDIOBJ old = SelectObject(screen, font);
    int charset = GetTextCharset(screen);
    SelectObject(screen, old);
    return charset == spec.charset;
  };
  const std::wstring& face = std::get<0>(key);
  HFONT font = make(face.c_str());
  if (font && IsCjkCharset(spec.charset) && !hasCharset(font)) {
    for (const wchar_t* fallback : kCjkFallbacks) {
      HFONT other = make(fallback);
      if (other && hasCharset(other)) {
        DeleteObject(font);
        font = other;
        break;
      }
      if (other) DeleteObject(other);
    }
  }
  ReleaseDC(nullptr, screen);
  if (!font) throw OsError("create font", GetLastError());
  fonts_[key] = font;
  return font;
}

HBRUSH Win32Desktop::Brush(COLORREF color) {
  if (auto it = brushes_.find(color); it != brushes_.end()) return it->second;
  HBRUSH brush = CreateSolidBrush(color);
  brushes_[color] = brush;
  return brush;
}

COLORREF Win32Desktop::KeyColorOf(HWND control) {
  Node* root = NodeOf(GetAncestor(control, GA_ROOT));
  if (!root || root->desktop != this) return RGB(255, 0, 255);
  return root->colorKey.value_or(root->background);
}

LRESULT Win32Desktop::ColorEdit(HWND edit, HDC dc) {
  Node* node = NodeOf(edit);
  ::SetTextColor(dc, node ? node->textColor : RGB(0, 0, 0));
  // On the key colour: the text seems written on whatever lies behind the window.
  COLORREF background = KeyColorOf(edit);
  SetBkColor(dc, background);
  return reinterpret_cast<LRESULT>(Brush(background));
}

void Win32Desktop::SetPicture(Hwnd picture, const std::string& bitmapName) {
  Node* node = Ours(picture);
  if (!node || (node->kind != Kind::Picture && node->kind != Kind::TopLevel)) return;
  HBITMAP bitmap = Bitmap(bitmapName);
  if (bitmap == node->bitmap) return;
  node->bitmap = bitmap;
  InvalidateRect(reinterpret_cast<HWND>(picture), nullptr, FALSE);
}

void Win32Desktop::SetText(Hwnd window, const std::string& text) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  Node* node = Ours(window);
  if (node && node->kind == Kind::Edit) {
    // Reported once for every assignment, the same text too, as an edit reports WM_SETTEXT;
    // the edit's own EN_CHANGE is held back so that it is not reported twice.
    HWND outer = settingText_;
    settingText_ = hwnd;
    SetWindowTextW(hwnd, Wide(text).c_str());
    settingText_ = outer;
    node->editText = GetText(window);
    if (node->events) node->events->OnTextChanged(window);
    return;
  }
  SetWindowTextW(hwnd, Wide(text).c_str());
  if (node && node->kind == Kind::Label) InvalidateRect(hwnd, nullptr, FALSE);
}

std::string Win32Desktop::GetText(Hwnd window) {
  HWND hwnd = reinterpret_cast<HWND>(window);
  int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return Utf8(text);
}

void Win32Desktop::SetTextColor(Hwnd control, platform::Rgb color) {
  Node* node = Ours(control);
  if (!node) return;
  node->textColor = ToColorRef(color);
  InvalidateRect(reinterpret_cast<HWND>(control), nullptr, FALSE);
}

void Win32Desktop::SetFont(Hwnd control, const platform::FontSpec& spec) {
  Node* node = Ours(control);
  if (!node) return;
  node->font = Font(spec);
  if (node->kind == Kind::Edit)
    SendMessageW(reinterpret_cast<HWND>(control), WM_SETFONT,
                 reinterpret_cast<WPARAM>(node->font), TRUE);
  else
    InvalidateRect(reinterpret_cast<HWND>(control), nullptr, FALSE);
}

void Win32Desktop::SetTextLimit(Hwnd edit, int characters) {
  SendMessageW(reinterpret_cast<HWND>(edit), EM_LIMITTEXT,
               static_cast<WPARAM>(characters > 0 ? characters : 0), 0);
}

void Win32Desktop::SetSelection(Hwnd edit, int start, int length) {
  SendMessageW(reinterpret_cast<HWND>(edit), EM_SETSEL, static_cast<WPARAM>(start),
               static_cast<LPARAM>(start + length));
}

HWND Win32Desktop::TooltipOf(HWND control) {
  HWND root = GetAncestor(control, GA_ROOT);
  if (auto it = tooltips_.find(root); it != tooltips_.end()) return it->second;
  static const bool initialised = [] {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)initialised;
  // Owned by the window, so it goes with it.
  HWND tip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (tip) tooltips_[root] = tip;
  return tip;
}

void Win32Desktop::SetTooltip(Hwnd control, const std::string& text) {
  Node* node = Ours(control);
  if (!node || node->kind == Kind::TopLevel) return;
  HWND hwnd = reinterpret_cast<HWND>(control);
  HWND tip = TooltipOf(hwnd);
  if (!tip) return;
  std::wstring wide = Wide(text);
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every comctl32, without a manifest too
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(hwnd);
  info.uId = reinterpret_cast<UINT_PTR>(hwnd);
  info.lpszText = wide.data();
  if (!node->tooltip) {
    node->tooltip = SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
  } else {
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  }
}

}  // namespace tovren::win32
