#include "ui/event_boundary.h"

#include <exception>

#include "core/user_error.h"

namespace tovren::ui {

void ShowError(platform::Desktop& desktop, platform::Hwnd owner, const std::string& text) {
  // The message box itself must not end the launcher, whatever the window system says.
  try {
    desktop.ShowMessage(owner && desktop.IsWindow(owner) ? owner : 0, core::kMessageTitle, text);
  } catch (...) {
  }
}

bool RunGuarded(platform::Desktop& desktop, platform::Hwnd owner,
                const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const core::UserError& e) {
    ShowError(desktop, owner, e.message());
  } catch (...) {
    ShowError(desktop, owner, kUnexpectedError);
  }
  return false;
}

}  // namespace tovren::ui
