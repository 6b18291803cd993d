#pragma once
// Where the launcher keeps its own files: everything is named from the folder of the
// launcher's executable, not from the current folder.
#include <string>
#include <string_view>

#include "platform/api/system.h"

namespace tovren::core {

// The folder part of a Windows path, without a trailing backslash, except for a drive
// root, which keeps it ("C:\\"). A name without any folder gives "".
std::string FolderOf(std::string_view path);

// folder + "\\" + name, without doubling the backslash after a drive root; an empty folder
// gives name itself (relative to the current folder).
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder of the launcher's executable.
std::string LauncherFolder(platform::System& system);

// The working folder `zarnu` and the settings file inside it.
std::string ZarnuFolder(platform::System& system);
std::string SettingsFilePath(platform::System& system);

}  // namespace tovren::core
