#pragma once
// The game data the launcher carries as resources of its own executable: the version and
// effect-texture packs (self-extracting archives) and the display-configuration tool.
#include <string>

#include "launch/game_folder.h"

namespace tovren::launch {

// Writes the resource's bytes as `file` in the game folder: exactly those bytes, so an
// older, longer file of that name leaves no tail behind (a stale tail after an archive
// corrupts it). Throws core::UserError when the resource is missing or the file cannot
// be written.
void WriteResourceFile(LaunchServices& services, const std::string& type,
                       const std::string& name, const std::string& file);

// WriteResourceFile, then runs the pack hidden in the game folder, started as that file
// by its full path, and waits for it. The pack unpacks into the game folder and removes
// itself; a pack file still there after the run is deleted here. Throws core::UserError
// when the pack cannot run, reports a failure (exit code 2 or above: the game would be
// half-installed) or cannot be removed. Exit code 1, warnings only, is a finished install.
void InstallPayload(LaunchServices& services, const std::string& type, const std::string& name,
                    const std::string& file);

}  // namespace tovren::launch
