#pragma once
// The start press: prepares the game folder from the packs the launcher carries, writes
// the player's rules into the game, registers it and starts play.
#include "core/settings.h"
#include "launch/game_folder.h"
#include "launch/launch_host.h"
#include "launch/online_steps.h"

namespace tovren::launch {

class GameLauncher {
 public:
  GameLauncher(LaunchServices services, core::Settings& settings, LaunchHost& host,
               OnlineSteps& online);

  // Hides the windows, then in this order: version pack, executable patch, effect pack,
  // registry, config tool when missing, scene table, start of play. Throws
  // core::UserError at the first step that fails; what the earlier steps did stays done
  // and the windows stay hidden (the press handler brings them back). The tray tip tells
  // what is happening and is back to its idle text when this returns or throws.
  void LaunchGame();

 private:
  void Steps();
  void Status(const char* tip);

  LaunchServices services_;
  core::Settings& settings_;
  LaunchHost& host_;
  OnlineSteps& online_;
  const char* status_ = nullptr;
};

}  // namespace tovren::launch
