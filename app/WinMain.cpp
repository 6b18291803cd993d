// TovrenLauncher.exe: the real platform, the window set on it, and the message loop. The
// process's current folder is the game folder the player started the launcher in; it is
// never changed.
// The portable headers come before <windows.h>: its PostMessage macro would otherwise
// rename the desktop interface's member (win32_platform.h includes it and undoes that).
#include "core/user_error.h"
#include "core/window_set.h"
#include "ui/event_boundary.h"
// (keep this last)
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
  using namespace tovren;
  // Declared in the order they are built on each other, so that they go in reverse.
  win32::Win32Platform system;
  const platform::Platform p = system.Get();
  core::OnlineWorkerWindows online(p);
  core::WindowSet windows(p, online);

  windows.Start();
  for (;;) {
    try {
      return system.RunMessageLoop();
    } catch (const core::UserError& e) {
      // Every handler of ours has its own boundary; this is the last one, for what a
      // handler of the platform itself let through. The launcher stays usable.
      ui::ShowError(p.desktop, 0, e.message());
    } catch (...) {
      ui::ShowError(p.desktop, 0, ui::kUnexpectedError);
    }
    if (!windows.AnyOpen()) return 1;
  }
}
