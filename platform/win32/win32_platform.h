#pragma once
// The real platform: one of every Windows service, handed to the logic as one Platform.
// Create it on the user-interface thread, which then runs RunMessageLoop.
// The backend's own headers first: they keep <windows.h>'s PostMessage macro away from
// the interface.
#include "platform/win32/desktop.h"
#include "platform/api/platform.h"
#include "platform/win32/files.h"
#include "platform/win32/http.h"
#include "platform/win32/loop.h"
#include "platform/win32/processes.h"
#include "platform/win32/registry.h"
#include "platform/win32/resources.h"
#include "platform/win32/system.h"
#include "platform/win32/timers.h"
#include "platform/win32/worker.h"

namespace tovren::win32 {

class Win32Platform {
 public:
  Win32Platform() = default;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  platform::Platform Get();
  // GetMessage until Loop::Quit; returns the quit code. An exception that a handler
  // raised comes out of here once the message that raised it has been handled.
  int RunMessageLoop();

  // Declared in the order they depend on each other: the worker posts through the loop
  // and is gone (its threads joined) before the loop is.
  Win32Files files;
  Win32Resources resources;
  Win32Processes processes;
  Win32Registry registry;
  Win32Http http;
  Win32System system;
  Win32Loop loop;
  Win32Clock clock;
  Win32Timers timers;
  Win32Keys keys;
  Win32Desktop desktop;
  Win32Worker worker{loop};
};

}  // namespace tovren::win32
