// The in-memory desktop: a table of windows, a call log, and drivers that deliver mouse,
// keyboard and tray input the way the window system does.
#include <algorithm>
#include <stdexcept>

#include "platform/sim/sim_platform.h"

namespace tovren::sim {
namespace {

std::string RectText(const RectPx& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) +
         "x" + std::to_string(r.height);
}

// Width and height from a PNG's IHDR chunk; 0 x 0 when it is not a PNG.
SizePx PngSize(const Bytes& png) {
  static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 24 || !std::equal(sig, sig + 8, png.begin())) return {};
  auto be32 = [&](std::size_t at) {
    return static_cast<int>((png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3]);
  };
  return {be32(16), be32(20)};
}

// Code points of a UTF-8 text.
std::vector<std::string> Chars(const std::string& s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

class SimSurface : public platform::LayeredSurface {
 public:
  SimSurface(SimDesktop& desktop, Hwnd window, SizePx size)
      : desktop_(desktop), window_(window), size_(size) {
    if (auto* w = desktop_.Find(window_)) w->surfaceAlive = true;
  }
  ~SimSurface() override {
    if (auto* w = desktop_.Find(window_)) {
      w->surfaceAlive = false;
      desktop_.log.push_back("release surface " + w->title);
    }
  }
  SizePx ImageSize() const override { return size_; }
  void Present(std::uint8_t alpha) override {
    if (auto* w = desktop_.Find(window_)) w->presents.push_back(alpha);
  }

 private:
  SimDesktop& desktop_;
  Hwnd window_;
  SizePx size_;
};

}  // namespace

Hwnd SimDesktop::Add(Window w) {
  w.id = next_++;
  Hwnd id = w.id;
  if (w.parent) Get(w.parent).children.push_back(id);
  windows_[id] = std::move(w);
  return id;
}

SimDesktop::Window* SimDesktop::Find(Hwnd id) {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : &it->second;
}

SimDesktop::Window& SimDesktop::Get(Hwnd id) {
  auto* w = Find(id);
  if (!w) throw std::logic_error("no such window " + std::to_string(id));
  return *w;
}

std::string SimDesktop::TitleOf(Hwnd id) {
  auto* w = Find(id);
  if (!w) return "#" + std::to_string(id);
  if (w->topLevel) return w->title;
  return "#" + std::to_string(id);
}

platform::WindowEvents* SimDesktop::EventsOf(Hwnd id) {
  for (auto* w = Find(id); w; w = w->parent ? Find(w->parent) : nullptr)
    if (w->events) return w->events;
  return nullptr;
}

Hwnd SimDesktop::FindOurTopLevel(const std::string& title) {
  for (auto& [id, w] : windows_)
    if (w.ours && w.topLevel && w.title == title) return id;
  return 0;
}

RectPx SimDesktop::ScreenRect(Hwnd id) {
  auto& w = Get(id);
  if (w.topLevel || !w.parent) return w.rect;
  RectPx p = ScreenRect(w.parent);
  return {p.left + w.rect.left, p.top + w.rect.top, w.rect.width, w.rect.height};
}

bool SimDesktop::IsShownOnScreen(Hwnd id) {
  for (auto* w = Find(id); w; w = w->parent ? Find(w->parent) : nullptr) {
    if (!w->visible) return false;
    if (w->topLevel) return true;
  }
  return false;
}

// --- platform::Desktop ---------------------------------------------------------------------
Hwnd SimDesktop::CreateTopLevel(const platform::WindowSpec& spec, platform::WindowEvents* events) {
  Window w;
  w.events = events;
  w.owner = spec.owner;
  w.title = spec.title;
  w.rect = spec.rect;
  w.picture = spec.backgroundBitmap;
  Hwnd id = Add(std::move(w));
  log.push_back("create " + spec.title);
  return id;
}

Hwnd SimDesktop::CreateControl(const platform::ControlSpec& spec, platform::WindowEvents* events) {
  Get(spec.parent);  // the parent must exist
  Window w;
  w.topLevel = false;
  w.kind = spec.kind;
  w.events = events;
  w.parent = spec.parent;
  w.rect = spec.rect;
  w.picture = spec.bitmap;
  w.title = spec.text;
  w.visible = true;  // controls are visible unless hidden; their window decides
  return Add(std::move(w));
}

void SimDesktop::Destroy(Hwnd window) {
  auto* w = Find(window);
  if (!w) return;
  auto children = w->children;
  for (Hwnd c : children) Destroy(c);
  w = Find(window);
  if (w->topLevel) log.push_back("destroy " + w->title);
  if (w->parent) {
    if (auto* p = Find(w->parent)) std::erase(p->children, window);
  }
  if (capture == window) capture = 0;
  if (focus == window) focus = 0;
  if (pressed_ == window) pressed_ = 0;
  if (foreground == window) foreground = 0;
  windows_.erase(window);
}

bool SimDesktop::IsWindow(Hwnd window) { return Find(window) != nullptr; }

void SimDesktop::Show(Hwnd window, bool visible) {
  auto& w = Get(window);
  if (!visible)
    for (Hwnd c = capture; c; c = Find(c) && !Find(c)->topLevel ? Find(c)->parent : 0)
      if (c == window) {
        ReleaseCapture();
        break;
      }
  w.visible = visible;
  if (w.topLevel) log.push_back((visible ? "show " : "hide ") + w.title);
}

bool SimDesktop::IsVisible(Hwnd window) {
  auto* w = Find(window);
  return w && w->visible;
}

void SimDesktop::Move(Hwnd window, const RectPx& rect) {
  auto& w = Get(window);
  w.rect = rect;
  if (w.topLevel) log.push_back("move " + w.title + " " + RectText(rect));
}

RectPx SimDesktop::GetRect(Hwnd window) { return Get(window).rect; }

void SimDesktop::SetOwner(Hwnd window, Hwnd owner) {
  Get(window).owner = owner;
  log.push_back("owner " + TitleOf(window) + " " + TitleOf(owner));
}

void SimDesktop::AddLayeredStyle(Hwnd window) {
  Get(window).layered = true;
  log.push_back("layered " + TitleOf(window));
}

void SimDesktop::SetColorKey(Hwnd window, Rgb key) {
  Get(window).colorKey = key;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", key);
  log.push_back("colorkey " + TitleOf(window) + " " + buf);
}

void SimDesktop::SetTopmost(Hwnd window) {
  Get(window).topmost = true;
  log.push_back("topmost " + TitleOf(window));
}

std::unique_ptr<platform::LayeredSurface> SimDesktop::CreateLayeredSurface(Hwnd window,
                                                                           const Bytes& png) {
  auto& w = Get(window);
  if (failLayeredSurface) {
    log.push_back("surface failed " + w.title);
    return nullptr;
  }
  log.push_back("surface " + w.title);
  return std::make_unique<SimSurface>(*this, window, PngSize(png));
}

void SimDesktop::SetPicture(Hwnd picture, const std::string& bitmapName) {
  Get(picture).picture = bitmapName;
  log.push_back("picture " + TitleOf(picture) + " " + bitmapName);
}

void SimDesktop::SetText(Hwnd window, const std::string& text) {
  auto& w = Get(window);
  w.title = text;
  // An edit reports every WM_SETTEXT as a change, whether the text differs or not.
  if (!w.topLevel && w.kind == platform::ControlKind::Edit)
    if (auto* e = EventsOf(window)) e->OnTextChanged(window);
}

std::string SimDesktop::GetText(Hwnd window) { return Get(window).title; }
void SimDesktop::SetTextColor(Hwnd control, Rgb color) { Get(control).textColor = color; }
void SimDesktop::SetFont(Hwnd control, const platform::FontSpec& font) { Get(control).font = font; }
void SimDesktop::SetTextLimit(Hwnd edit, int characters) { Get(edit).textLimit = characters; }
void SimDesktop::SetSelection(Hwnd edit, int start, int length) {
  Get(edit).selection = {start, length};
}
void SimDesktop::SetTooltip(Hwnd control, const std::string& text) { Get(control).tooltip = text; }

void SimDesktop::SetCapture(Hwnd control) {
  Get(control);
  if (pressed_ && capture == pressed_ && control != pressed_) pressCaptureLost_ = true;
  capture = control;
}

void SimDesktop::ReleaseCapture() {
  if (pressed_ && capture == pressed_) pressCaptureLost_ = true;
  capture = 0;
}

void SimDesktop::SetFocus(Hwnd window) {
  auto& w = Get(window);
  if (focus == window) return;
  focus = window;
  if (!w.topLevel && w.kind == platform::ControlKind::Edit)
    if (auto* e = EventsOf(window)) e->OnFocus(window);
}

void SimDesktop::BringToFront(Hwnd window, bool activate) {
  Get(window);
  log.push_back("front " + TitleOf(window) + (activate ? " activate" : ""));
  if (activate) Activate(window);
}

void SimDesktop::Activate(Hwnd window) {
  foreground = window;
  if (auto* e = EventsOf(window)) e->OnActivate(window);
}

Hwnd SimDesktop::FindTopLevel(const std::string& title) {
  if (onLookUp) onLookUp("FindTopLevel");
  for (auto& [id, w] : windows_)
    if (w.topLevel && w.title == title) return id;
  return 0;
}

Hwnd SimDesktop::FindChild(Hwnd parent, const std::string& text) {
  if (!parent) return 0;
  auto* p = Find(parent);
  if (!p) return 0;
  for (Hwnd c : p->children)
    if (Get(c).title == text) return c;
  return 0;
}

Hwnd SimDesktop::Foreground() {
  if (onLookUp) onLookUp("Foreground");
  return foreground;
}

std::string SimDesktop::WindowTitle(Hwnd window) {
  auto* w = Find(window);
  return w ? w->title : std::string();
}

std::optional<RectPx> SimDesktop::ClientRectOnScreen(Hwnd window) {
  if (onLookUp) onLookUp("ClientRectOnScreen");
  if (!Find(window)) return std::nullopt;
  return ScreenRect(window);
}

bool SimDesktop::SendText(Hwnd window, const std::string& text, int /*timeoutMs*/) {
  auto* w = Find(window);
  if (!w) return false;
  if (onSendText && !onSendText(window, text)) return false;
  sentTexts.emplace_back(window, text);
  SetText(window, text);
  return true;
}

void SimDesktop::PostMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  Message m{window, message, wParam, lParam};
  posted.push_back(m);
  if (onPost) onPost(m);
}

void SimDesktop::ClipCursor(const std::optional<RectPx>& rect) {
  clip = rect;
  clipCalls.push_back(rect);
}

bool SimDesktop::AddTrayIcon(const platform::TrayIcon& icon) {
  tray = icon;
  trayCalls.push_back("add " + icon.tip);
  return true;
}

bool SimDesktop::ModifyTrayIcon(const platform::TrayIcon& icon) {
  if (!tray) return false;
  tray = icon;
  trayCalls.push_back("modify " + icon.tip);
  return true;
}

bool SimDesktop::RemoveTrayIcon(const platform::TrayIcon& /*icon*/) {
  bool had = tray.has_value();
  tray.reset();
  trayCalls.push_back("remove");
  return had;
}

std::optional<std::string> SimDesktop::OpenFile(const platform::OpenFileRequest& request) {
  fileDialogs.push_back(request);
  ReleaseCapture();  // the dialog's window takes it
  if (whileFileDialog) whileFileDialog();
  if (fileDialogAnswers.empty()) return std::nullopt;
  auto answer = fileDialogAnswers.front();
  fileDialogAnswers.pop_front();
  return answer;
}

void SimDesktop::ShowMessage(Hwnd /*owner*/, const std::string& title, const std::string& text) {
  messages.push_back({title, text});
  log.push_back("message " + text);
  ReleaseCapture();  // the box's window takes it
  ++openMessages;
  mostOpenMessages = std::max(mostOpenMessages, openMessages);
  struct Closing {
    int& open;
    ~Closing() { --open; }
  } closing{openMessages};
  if (whileMessage) whileMessage(Box{title, text});
}

// --- foreign windows ---------------------------------------------------------------------------
Hwnd SimDesktop::AddForeignWindow(const std::string& title, const RectPx& rect) {
  Window w;
  w.ours = false;
  w.title = title;
  w.rect = rect;
  w.visible = true;
  return Add(std::move(w));
}

Hwnd SimDesktop::AddForeignChild(Hwnd parent, const std::string& text) {
  Window w;
  w.ours = false;
  w.topLevel = false;
  w.parent = parent;
  w.title = text;
  w.visible = true;
  return Add(std::move(w));
}

// --- drivers --------------------------------------------------------------------------------------
Hwnd SimDesktop::PointerAt(Hwnd control, int& x, int& y) {
  RectPx at = ScreenRect(control);
  cursor = {at.left + x, at.top + y};
  if (!capture || capture == control || !Find(capture)) return control;
  RectPx c = ScreenRect(capture);
  x = cursor.x - c.left;
  y = cursor.y - c.top;
  return capture;
}

void SimDesktop::MouseMove(Hwnd control, int buttons, int x, int y) {
  Hwnd target = PointerAt(control, x, y);
  if (auto* e = EventsOf(target)) e->OnMouseMove(target, buttons, x, y);
}

void SimDesktop::MouseDown(Hwnd control, int button, int x, int y) {
  Hwnd target = capture && Find(capture) ? capture : control;
  if (button == platform::kLeftButton) {
    pressed_ = target;
    pressCaptureLost_ = false;
  }
  auto& w = Get(target);
  if (!w.topLevel && w.kind == platform::ControlKind::Edit) SetFocus(target);
  if (auto* e = EventsOf(target)) e->OnMouseDown(target, button, x, y);
}

void SimDesktop::MouseUp(Hwnd control, int button, int x, int y) {
  Hwnd target = PointerAt(control, x, y);
  const bool left = button == platform::kLeftButton;
  const bool click = left && pressed_ && target == pressed_ && !pressCaptureLost_;
  if (left) pressed_ = 0;
  if (auto* e = EventsOf(target)) e->OnMouseUp(target, button, x, y);
  if (click && Find(target))
    if (auto* e = EventsOf(target)) e->OnClick(target);
}

void SimDesktop::Press(Hwnd control, int button) {
  MouseDown(control, button);
  if (Find(control)) MouseUp(control, button);
}

void SimDesktop::DoubleClick(Hwnd control) {
  if (auto* e = EventsOf(control)) e->OnDoubleClick(control);
}

void SimDesktop::Type(Hwnd edit, const std::string& text) {
  for (const auto& ch : Chars(text)) {
    auto& w = Get(edit);
    auto chars = Chars(w.title);
    auto [start, length] = w.selection;
    if (length > 0 && start >= 0 && static_cast<std::size_t>(start) < chars.size()) {
      std::size_t end = std::min(chars.size(), static_cast<std::size_t>(start + length));
      chars.erase(chars.begin() + start, chars.begin() + static_cast<std::ptrdiff_t>(end));
      w.selection = {start, 0};
    }
    if (w.textLimit > 0 && static_cast<int>(chars.size()) >= w.textLimit) continue;  // refused
    chars.push_back(ch);
    std::string joined;
    for (const auto& c : chars) joined += c;
    w.title = joined;
    if (auto* e = EventsOf(edit)) e->OnTextChanged(edit);
  }
}

void SimDesktop::TypeKeys(const std::string& text) {
  auto* w = focus ? Find(focus) : nullptr;
  if (w && !w->topLevel && w->kind == platform::ControlKind::Edit) Type(focus, text);
}

void SimDesktop::Tab(bool backwards) {
  auto* w = focus ? Find(focus) : nullptr;
  if (w && !w->topLevel && w->kind == platform::ControlKind::Edit)
    if (auto* e = EventsOf(focus)) e->OnTab(focus, backwards);
}

void SimDesktop::TrayNotify(int code) {
  if (!tray || !Find(tray->window)) return;
  if (auto* e = EventsOf(tray->window)) e->OnTrayNotify(code);
}

void SimDesktop::RequestClose(Hwnd window) {
  if (auto* e = EventsOf(window)) e->OnCloseRequest(window);
}

}  // namespace tovren::sim
