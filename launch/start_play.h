#pragma once
// The last two steps of a start: the game's install location into the registry, then
// the programs that start play, with the online list steps in between.
#include <string>

#include "core/settings.h"
#include "launch/game_folder.h"
#include "launch/launch_host.h"
#include "launch/online_steps.h"
#include "platform/api/registry.h"

namespace tovren::launch {

inline constexpr const char* kRegistryKey = "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tovren";
inline constexpr const char* kRegistryKeyWow64 =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Corvane\\Tovren";

inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimised = 2;

// Path (folder + "\") and Exe (folder + "\tovren.exe") as REG_SZ, under the Wow6432Node
// names when option switch 4 is on and Windows is a 64-bit one (`wow64`, see
// platform::System::Is64BitWindows). A 32-bit Windows has no such view: there the names
// are a plain subkey the game never reads, so the values go to the "Software" names
// whatever the switch says. Throws core::UserError when the system refuses; for a
// refusal of rights it tells the player to run the launcher as administrator.
void RegisterGame(platform::Registry& registry, const core::Settings& settings,
                  const std::string& launcherFolder, bool wow64);

// Starts the config tool ("config.exe" in the launcher folder, by its full path) or the
// platform program (see PlatformProgram) by option switches 5 and 8, then runs the list
// step for each of the lists switches 6 and 7 choose when switch 5 is on. Switches 5 to 8
// are read with core::SwitchReadsOn, as the runtime monitor reads them.
// Throws core::UserError when a program cannot be started or a list step fails; what
// started before stays started. A platform path that names no program is refused before
// anything of this step starts.
void StartPlay(LaunchServices& services, const core::Settings& settings, OnlineSteps& online,
               LaunchHost& host, const std::string& launcherFolder);

}  // namespace tovren::launch
