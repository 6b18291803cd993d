#include "launch/start_play.h"

#include <cctype>
#include <limits>

#include "core/paths.h"
#include "core/user_error.h"
#include "launch/game_folder.h"
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

bool SwitchOn(const core::Field& field) { return ReadSwitchNumber(field.Text()) == 1; }

void StartProgram(platform::Processes& processes, const std::string& commandLine, int showCode,
                  bool isConfigTool) {
  try {
    processes.Start(commandLine, showCode);
  } catch (const platform::OsError& e) {
    if (isConfigTool) {
      throw core::UserError("无法启动游戏设置程序 config.exe。请确认它在游戏文件夹中，然后再试。",
                            "cannot start " + commandLine + ": " + e.what());
    }
    throw core::UserError("无法启动游戏平台程序“" + commandLine + "”。请在网络设置中重新选择平台程序，然后再试。",
                          "cannot start the platform program " + commandLine + ": " + e.what());
  }
}

void ListStep(int list, std::string& accumulator, platform::Processes& processes,
              OnlineSteps& online, LaunchHost& host, const std::string& configTool) {
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
                  const std::string& launcherFolder, bool wow64) {
  const std::string key = wow64 && settings.复选框辅助[3].IsOn() ? kRegistryKeyWow64 : kRegistryKey;
  // JoinPath keeps a drive root ("D:\") from getting a second backslash.
  WriteValue(registry, key + "\\Path", core::JoinPath(launcherFolder, ""));
  WriteValue(registry, key + "\\Exe", core::JoinPath(launcherFolder, "tovren.exe"));
}

long long ReadSwitchNumber(const std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == n) return 0;
  long long value = 0;
  constexpr long long kCap = std::numeric_limits<long long>::max() / 10 - 1;
  for (; i < n; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
    if (value < kCap) value = value * 10 + (text[i] - '0');  // a huge number stays huge
  }
  return negative ? -value : value;
}

void StartPlay(platform::Processes& processes, const core::Settings& settings,
               OnlineSteps& online, LaunchHost& host, const std::string& launcherFolder) {
  const auto& switches = settings.复选框辅助;
  const std::string configTool = core::JoinPath(launcherFolder, kConfigToolFile);
  std::string accumulator;

  // Switches 5 and 8 joined as one number: below 1 only when neither is set.
  if (ReadSwitchNumber(switches[4].Text() + switches[7].Text()) < 1) {
    StartProgram(processes, configTool, kShowNormal, true);
    host.ShowButtonPicture(kStartButton, kStartButtonNormal);
  }
  if (SwitchOn(switches[7])) {
    const std::string& platformPath = settings.路径.Text();
    if (!platformPath.empty()) {
      StartProgram(processes, platformPath, kShowNormal, false);
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
