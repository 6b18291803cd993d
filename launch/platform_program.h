#pragma once
// The game-platform program that option switch 8 starts, read from the platform path
// `路径`. The launcher runs as administrator, so the text must name one file: it is never
// handed to the system to guess a program from.
#include <string>

#include "platform/api/files.h"
#include "platform/api/processes.h"
#include "platform/api/system.h"

namespace tovren::launch {

// What the platform path starts:
// - a path that names an existing file (what the browse dialog gives) starts that file,
//   by its full path (a relative one is taken in the game folder), with no arguments;
// - a text that begins with a quote is a command line written by hand: it is passed as
//   written, and its quoted program part is the file, which must exist.
// Anything else (a path with arguments but no quotes, a folder, a file that is not there)
// throws core::UserError telling the player to choose the program again with 浏览.
platform::Program PlatformProgram(const std::string& path, platform::Files& files,
                                  platform::System& system);

}  // namespace tovren::launch
