#include "platform/win32/win32_platform.h"

namespace tovren::win32 {

platform::Platform Win32Platform::Get() {
  return platform::Platform{files, resources, processes, registry, http, desktop,
                            timers, keys, loop, clock, worker, system};
}

int Win32Platform::RunMessageLoop() { return win32::RunMessageLoop(); }

}  // namespace tovren::win32
