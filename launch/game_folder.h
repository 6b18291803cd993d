#pragma once
// The game folder as the launch actions see it: the process's current folder, where the
// launcher lives beside the game. Game files are named relative to it; only the registry
// values and the config tool's command line need the launcher's full folder.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/api/files.h"
#include "platform/api/processes.h"
#include "platform/api/registry.h"
#include "platform/api/resources.h"
#include "platform/api/system.h"

namespace tovren::platform {
struct Platform;
}

namespace tovren::launch {

inline constexpr const char* kGameExe = "Tovren.exe";
inline constexpr const char* kGameRes = "Tovren.res";
inline constexpr const char* kVersionPackFile = "vsn.exe";
inline constexpr const char* kEffectPackFile = "soe.exe";
inline constexpr const char* kConfigToolFile = "config.exe";
// Only the version-2 pack brings it; the other versions must not keep it.
inline constexpr const char* kVersion2OnlyFile = "sn22\\sn22.pvb";
// A pack's exit code as self-extracting archives report it: 0 done, 1 done with warnings
// only (every file extracted, some skipped or overwritten with a note), 2 and above failed.
inline constexpr std::uint32_t kPackWarningsOnly = 1;
// A pack extracts in seconds; one still running after this long is hung, and the start
// press must not wait for it for ever.
inline constexpr int kPackTimeoutMs = 10 * 60 * 1000;

// The platform services the start press uses, so that a test can hand in exactly these.
struct LaunchServices {
  platform::Files& files;
  platform::Resources& resources;
  platform::Processes& processes;
  platform::Registry& registry;
  platform::System& system;

  static LaunchServices From(const platform::Platform& platform);
};

// 1, 2 or 3; nothing for any other text (there is no pack and no layout for it).
std::optional<int> ParseGameVersion(const std::string& text);

// Throws core::UserError unless `name` is a file (not a folder) of at least `minSize`
// bytes. The patches write at fixed offsets; against a missing or short file those
// writes would create or extend a file of zeros and the game would not run.
void RequireGameFile(platform::Files& files, const std::string& name, std::uint64_t minSize);

// The player's message for a game file that cannot be written.
[[noreturn]] void ThrowWriteFailed(const std::string& name, const std::exception& cause);

}  // namespace tovren::launch
