#include "online/monitor.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/paths.h"
#include "core/user_error.h"
#include "online/markup.h"
#include "online/text_util.h"
#include "platform/api/codepage.h"
#include "platform/api/errors.h"
#include "ui/event_boundary.h"

namespace tovren::online {
namespace {

// The lines of a text file as a line reader sees them: ended by CR LF, CR or LF; a final
// line without an ending still counts.
std::vector<std::string_view> TextLines(std::string_view text, size_t wanted) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size() && lines.size() < wanted) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

}  // namespace

动态::动态(const platform::Platform& platform, core::Settings& settings, MonitorOptions options)
    : WebIP(platform.http, platform.worker, options.limits),
      p_(platform),
      settings_(settings),
      options_(std::move(options)) {}

动态::~动态() {
  if (时钟Id_) p_.timers.Stop(时钟Id_);
  if (窗口时钟Id_) p_.timers.Stop(窗口时钟Id_);
  if (hwnd_) p_.desktop.Destroy(hwnd_);
}

void 动态::Create() {
  if (hwnd_) return;
  platform::WindowSpec spec;
  spec.title = kTitle;
  spec.rect = {0, 0, 6, 6};  // 90 by 90 twips; nothing in it is ever shown
  hwnd_ = p_.desktop.CreateTopLevel(spec, nullptr);
  WebIP.Navigate(OwnAddressPage());
  时钟Id_ = p_.timers.Start(k时钟Ms, [this] { Tick时钟(); });
}

void 动态::Close() {
  if (!hwnd_) return;
  if (时钟Id_) p_.timers.Stop(时钟Id_);
  if (窗口时钟Id_) p_.timers.Stop(窗口时钟Id_);
  时钟Id_ = 窗口时钟Id_ = 0;
  pending_.clear();  // nobody is left to read them
  WebIP.Stop();
  try {
    KillProcessByName(kToolExeName);
  } catch (const platform::OsError&) {
    // No process list: nothing can be ended, the rest of the close still runs.
  }
  p_.desktop.ClipCursor(std::nullopt);
  p_.desktop.Destroy(hwnd_);
  hwnd_ = 0;
}

void 动态::KillProcessByName(std::string_view name) {
  const std::string wanted = AsciiLower(name);
  for (const auto& process : p_.processes.List())
    if (AsciiLower(process.exeName) == wanted) p_.processes.Terminate(process.pid);
}

bool 动态::SwitchOn(int element) const {
  return core::SwitchReadsOn(settings_.复选框辅助[static_cast<size_t>(element)].Text());
}

std::string 动态::ToolPath() const {
  return core::JoinPath(core::LauncherFolder(p_.system), "zarnu\\zarnu_ip.exe");
}

std::optional<std::string> 动态::OwnAddress() const {
  std::optional<std::string> text = WebIP.BodyText();
  if (text && !LooksLikeOneAddress(*text)) return std::nullopt;
  return text;
}

void 动态::ReadConfigLine() {
  const std::string path = core::JoinPath(core::LauncherFolder(p_.system), "config.ini");
  auto info = p_.files.Stat(path);
  if (!info || info->directory) return;  // no file: the last line read stays
  std::string seventh;
  try {
    platform::Bytes bytes = p_.files.ReadAll(path);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    auto lines = TextLines(text, 7);
    // A file of fewer than seven lines says nothing about a window: no clip.
    if (lines.size() == 7) seventh = platform::GbkToUtf8(lines[6]);
  } catch (const platform::OsError&) {
    // Unreadable (the game may hold it while writing): no clip this tick.
  }
  配置.Set(seventh);
}

void 动态::Tick窗口时钟() {
  if (in窗口时钟_) return;
  in窗口时钟_ = true;
  try {
    ReadConfigLine();
    std::optional<platform::RectPx> clip;
    if (配置.Text() == kWindowedLine && 窗口.Text() == kGameTitle) {
      // The game may have closed since its title was seen: then there is nothing to clip
      // to, and the pointer is set free rather than caught in an empty rectangle.
      if (platform::Hwnd game = p_.desktop.FindTopLevel(kGameTitle))
        clip = p_.desktop.ClientRectOnScreen(game);
    }
    p_.desktop.ClipCursor(clip);
  } catch (...) {
    // A lock that cannot tell where the game is must not keep the pointer caught; the
    // next tick tries again.
    try {
      p_.desktop.ClipCursor(std::nullopt);
    } catch (...) {
    }
  }
  in窗口时钟_ = false;
}

void 动态::ToggleCursorLock() {
  if (窗口时钟Id_) {
    p_.timers.Stop(窗口时钟Id_);
    窗口时钟Id_ = 0;
    p_.desktop.ClipCursor(std::nullopt);
  } else {
    窗口时钟Id_ = p_.timers.Start(k窗口时钟Ms, [this] { Tick窗口时钟(); });
  }
}

void 动态::Tick时钟() {
  if (in时钟_) return;
  in时钟_ = true;
  auto& desktop = p_.desktop;
  try {
    platform::Hwnd foreground = desktop.Foreground();
    if (foreground != hwnd_) 窗口.Set(foreground ? desktop.WindowTitle(foreground) : "");
    // The menu's backdrop is the menu as much as its items are.
    if (窗口.Text() != kMenuTitle && 窗口.Text() != kMenuBackdropTitle && options_.closeMenu)
      options_.closeMenu();

    // Every key is asked on every tick, so that a press made while its switch is off is
    // not kept for later.
    if (p_.keys.WasPressed(platform::kVkF4) && SwitchOn(2)) ToggleCursorLock();

    if (p_.keys.WasPressed(platform::kVkF8) && (SwitchOn(5) || SwitchOn(6))) {
      try {
        ApplyNextIp();
      } catch (const core::UserError& e) {
        Tell(e.message());
      }
    }

    if (p_.keys.WasPressed(platform::kVkF9) && SwitchOn(4)) {
      try {
        RefreshLists();
      } catch (const FetchError&) {
        // The player is in the game: the list stays as it was and the next F9 tries again.
      }
    }
  } catch (...) {
    // A window call that failed; a tick never takes the launcher down.
  }
  in时钟_ = false;
}

// A message box runs a loop of its own. Shown inside a tick, it would hold that tick, and
// with it the hot keys and the menu's dismissal, until the player closes it: so the tick
// only queues the text, and the box comes after the tick has returned. Texts are told in
// order, one box at a time; one that is already waiting is not queued twice.
void 动态::Tell(const std::string& text) {
  if (std::find(pending_.begin(), pending_.end(), text) == pending_.end()) pending_.push_back(text);
  if (showing_ || showPosted_) return;
  showPosted_ = true;
  std::weak_ptr<int> alive = alive_;
  p_.loop.Post([this, alive] {
    if (alive.lock()) ShowPending();
  });
}

void 动态::ShowPending() {
  showPosted_ = false;
  if (showing_) return;
  showing_ = true;
  while (!pending_.empty() && hwnd_) {
    const std::string text = pending_.front();
    pending_.pop_front();
    ui::ShowError(p_.desktop, 0, text);
  }
  showing_ = false;
}

}  // namespace tovren::online
