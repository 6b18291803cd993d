#pragma once
// Every window event's handler runs through here: a failure anywhere below reaches the
// player as one message box titled with the launcher's name, and the launcher goes on.
#include <functional>

#include "platform/api/desktop.h"

namespace tovren::ui {

// What the player reads when something fails that carries no message of its own.
inline constexpr const char* kUnexpectedError =
    "操作没有完成：发生了意外错误。请重试；如果仍然不行，请重新启动启动器。";

// Runs handler; a core::UserError shows its message, any other exception the message
// above. Returns false when the handler failed.
bool RunGuarded(platform::Desktop& desktop, platform::Hwnd owner,
                const std::function<void()>& handler);

// Shows one message box titled with the launcher's name.
void ShowError(platform::Desktop& desktop, platform::Hwnd owner, const std::string& text);

}  // namespace tovren::ui
