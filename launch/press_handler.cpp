#include "launch/press_handler.h"

#include "core/user_error.h"
#include "platform/api/desktop.h"

namespace tovren::launch {

std::string ButtonBitmap(int index, const char* state) {
  return "ojb" + std::to_string(index + 16) + state;
}

PressHandler::PressHandler(core::Settings& settings, LaunchHost& host, GameLauncher& launcher)
    : settings_(settings), host_(host), launcher_(launcher) {}

void PressHandler::OnPress(std::int16_t index, std::int16_t button) {
  if (button != platform::kLeftButton) return;
  host_.ShowButtonPicture(index, ButtonBitmap(index, "03"));

  auto& flags = settings_.按钮辅助;
  switch (index) {
    case kNetworkButton:
      if (flags[0].Text() != "1") {
        flags[0].Set("1");
      } else {
        flags[0].Set("0");
        flags[1].Set("0");
      }
      break;
    case kSettingsButton:
      if (flags[1].Text() != "1") {
        flags[1].Set("1");
      } else {
        flags[1].Set("0");
        flags[0].Set("0");
      }
      break;
    case kStartButton:
      Start();
      break;
    case kMinimiseButton:
      host_.HideMainWindows();
      host_.ShowButtonPicture(kMinimiseButton, ButtonBitmap(kMinimiseButton, "01"));
      break;
    case kCloseButton:
      host_.CloseMain();
      break;
    default:
      break;
  }
}

void PressHandler::Start() {
  try {
    launcher_.LaunchGame();
  } catch (const core::UserError& e) {
    host_.ShowMessage(e.message());
    host_.ShowMainWindows();
  }
}

}  // namespace tovren::launch
