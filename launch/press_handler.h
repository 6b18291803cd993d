#pragma once
// The five picture buttons `按钮` of `主体`: network panel, settings panel, start,
// minimise, close. The action runs on the press of the left button itself.
#include <cstdint>
#include <string>

#include "core/settings.h"
#include "launch/launch_game.h"
#include "launch/launch_host.h"

namespace tovren::launch {

// "ojb" + (index + 16) + state: the skin bitmap of a button element.
std::string ButtonBitmap(int index, const char* state);

class PressHandler {
 public:
  PressHandler(core::Settings& settings, LaunchHost& host, GameLauncher& launcher);

  // index: the element pressed; button: 1 left, 2 right, 4 middle. This is the event
  // boundary of a start press: a failure is shown in one message box and the windows
  // come back.
  void OnPress(std::int16_t index, std::int16_t button);

 private:
  void Start();

  core::Settings& settings_;
  LaunchHost& host_;
  GameLauncher& launcher_;
};

}  // namespace tovren::launch
