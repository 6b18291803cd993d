#include "launch/start_play.h"

#include <optional>

#include "core/number_text.h"
#include "core/paths.h"
#include "core/user_error.h"
#include "launch/game_folder.h"
#include "launch/platform_program.h"
#include "platform/api/errors.h"

namespace tovren::launch {
namespace {

void WriteValue(platform::Registry& registry, const std::string& name, const std::string& data) {
  try {
    registry.WriteString(name, data);
  } catch (const platform::OsError& e) {
    if (e.code() == platform::kErrorAccessDenied) {
      throw core::UserError(
          "无法把游戏位置写入注册表：需要管理员权限。请右键点击启动器，选择“以管理员身份运行”，然后再开始游戏。",
          "registry write refused (no administrator rights): " + std::string(e.what()));
    }
    throw core::UserError("无法把游戏位置写入注册表（错误 " + std::to_string(e.code()) +
                              "）。请以管理员身份运行启动器，然后再试。",
                          "registry write failed: " + std::string(e.what()));
  }
}

bool SwitchOn(const core::Field& field) { return core::SwitchReadsOn(field.Text()); }

void StartProgram(platform::Processes& processes, const platform::Program& program, int showCode,
                  bool isConfigTool) {
  try {
    processes.Start(program, showCode);
  } catch (const platform::OsError& e) {
    if (isConfigTool) {
      throw core::UserError("无法启动游戏设置程序 config.exe。请确认它在游戏文件夹中，然后再试。",
                            "cannot start " + program.file + ": " + e.what());
    }
    throw core::UserError("无法启动游戏平台程序“" + program.commandLine +
                              "”。请在网络设置中重新选择平台程序，然后再试。",
                          "cannot start the platform program " + program.file + ": " + e.what());
  }
}

void ListStep(int list, std::string& accumulator, platform::Processes& processes,
              OnlineSteps& online, LaunchHost& host, const platform::Program& configTool) {
  try {
    online.RefreshList(list, accumulator);
  } catch (const core::UserError&) {
    throw;
  } catch (const std::exception& e) {
    throw core::UserError("无法获取联机地址列表。请检查网络连接，然后再试。",
                          "address list " + std::to_string(list) + ": " + e.what());
  }
  try {
    online.OpenSubmitter(list);
  } catch (const core::UserError&) {
    throw;
  } catch (const std::exception& e) {
    throw core::UserError("无法打开联机登记页面。请检查网络连接，然后再试。",
                          "registration page " + std::to_string(list) + ": " + e.what());
  }
  StartProgram(processes, configTool, kShowNormal, true);
  host.ShowButtonPicture(kStartButton, kStartButtonNormal);
}

}  // namespace

void RegisterGame(platform::Registry& registry, const core::Settings& settings,
                  const std::string& launcherFolder) {
  const std::string key = settings.复选框辅助[3].IsOn() ? kRegistryKeyWow64 : kRegistryKey;
  // JoinPath keeps a drive root ("D:\") from getting a second backslash.
  WriteValue(registry, key + "\\Path", core::JoinPath(launcherFolder, ""));
  WriteValue(registry, key + "\\Exe", core::JoinPath(launcherFolder, "tovren.exe"));
}

void StartPlay(LaunchServices& services, const core::Settings& settings, OnlineSteps& online,
               LaunchHost& host, const std::string& launcherFolder) {
  const auto& switches = settings.复选框辅助;
  platform::Processes& processes = services.processes;
  const platform::Program configTool =
      platform::ProgramAt(core::JoinPath(launcherFolder, kConfigToolFile));
  std::string accumulator;

  const bool platformOn = SwitchOn(switches[7]);
  const std::string& platformPath = settings.路径.Text();
  // Checked first: a path that names no program starts nothing at all.
  std::optional<platform::Program> platformProgram;
  if (platformOn && !platformPath.empty())
    platformProgram = PlatformProgram(platformPath, services.files, services.system);

  // Switches 5 and 8 joined as one number: below 1 only when neither is set.
  if (core::ReadNumber(switches[4].Text() + switches[7].Text()) < 1) {
    StartProgram(processes, configTool, kShowNormal, true);
    host.ShowButtonPicture(kStartButton, kStartButtonNormal);
  }
  if (platformOn) {
    if (platformProgram) {
      StartProgram(processes, *platformProgram, kShowNormal, false);
    } else {
      StartProgram(processes, configTool, kShowMinimised, true);
    }
    host.ShowButtonPicture(kStartButton, kStartButtonNormal);
  }
  if (!SwitchOn(switches[4])) return;
  if (SwitchOn(switches[5])) ListStep(1, accumulator, processes, online, host, configTool);
  if (SwitchOn(switches[6])) ListStep(2, accumulator, processes, online, host, configTool);
}

}  // namespace tovren::launch
