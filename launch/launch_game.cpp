#include "launch/launch_game.h"

#include "core/number_text.h"
#include "core/paths.h"
#include "core/user_error.h"
#include "launch/exe_patch.h"
#include "launch/payload.h"
#include "launch/platform_program.h"
#include "launch/scene_patch.h"
#include "launch/start_play.h"
#include "platform/api/errors.h"

namespace tovren::launch {

GameLauncher::GameLauncher(LaunchServices services, core::Settings& settings, LaunchHost& host,
                           OnlineSteps& online)
    : services_(services), settings_(settings), host_(host), online_(online) {}

void GameLauncher::Status(const char* tip) {
  if (status_ == tip) return;
  status_ = tip;
  host_.SetStatus(tip);
}

void GameLauncher::LaunchGame() {
  status_ = nullptr;
  try {
    Steps();
  } catch (const core::UserError&) {
    host_.SetStatus(kIdleTrayTip);
    throw;
  } catch (const std::exception& e) {
    // Every step names its own failures; this is for the ones nobody foresaw, so that the
    // player still hears of it and gets the launcher back.
    host_.SetStatus(kIdleTrayTip);
    throw core::UserError("启动游戏失败。请重新打开启动器，然后再试。",
                          std::string("start failed: ") + e.what());
  }
  host_.SetStatus(kIdleTrayTip);
}

void GameLauncher::Steps() {
  // Refused before anything is written: there is no pack and no layout for another
  // version, and a value that does not fit would overwrite the game's neighbouring data.
  const std::string versionText = settings_.版本编号.Text();
  const std::optional<int> version = ParseGameVersion(versionText);
  if (!version) {
    throw core::UserError("游戏版本“" + versionText + "”无效。请在版本列表中选择 1、2 或 3，然后再开始游戏。",
                          "version number \"" + versionText + "\" is not 1, 2 or 3");
  }
  CheckRuleValues(settings_);
  // A platform path that names no program is refused now, not after the whole install.
  if (core::SwitchReadsOn(settings_.复选框辅助[7].Text()) && !settings_.路径.Text().empty())
    PlatformProgram(settings_.路径.Text(), services_.files, services_.system);

  std::string launcherFolder;
  try {
    launcherFolder = core::LauncherFolder(services_.system);
  } catch (const platform::OsError& e) {
    throw core::UserError("找不到启动器所在的文件夹。请把启动器放在游戏文件夹中重新打开，然后再试。",
                          std::string("launcher folder: ") + e.what());
  }

  host_.HideMainWindows();

  Status(kTipInstalling);
  InstallPayload(services_, "VSN", versionText, kVersionPackFile);

  Status(kTipWritingSettings);
  PatchGameExecutable(services_.files, settings_, *version);

  Status(kTipInstalling);
  InstallPayload(services_, "SOE", settings_.复选框辅助[1].IsOn() ? "OFF" : "ON", kEffectPackFile);

  Status(kTipWritingSettings);
  RegisterGame(services_.registry, settings_, launcherFolder, services_.system.Is64BitWindows());

  if (!services_.files.IsNormalFile(kConfigToolFile)) {
    Status(kTipInstalling);
    WriteResourceFile(services_, "EXE", "CONFIG", kConfigToolFile);
  }

  Status(kTipWritingSettings);
  PatchSceneTable(services_.files);

  Status(kTipStarting);
  StartPlay(services_, settings_, online_, host_, launcherFolder);
}

}  // namespace tovren::launch
