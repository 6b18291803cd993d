#pragma once
// A C++ exception must never unwind through user32's frames (the DWARF unwinder of the
// 32-bit MinGW runtime cannot cross them: the program would end at once). Every window
// procedure, timer tick and posted call of ours therefore runs its handler inside Guarded;
// the first exception is kept and the message loop rethrows it after DispatchMessage
// returns, so no failure is lost.
#include <exception>

namespace tovren::win32 {

void KeepHandlerError(std::exception_ptr error);
// Rethrows (and forgets) the kept exception, if any. Called by the message loops.
void RethrowHandlerError();

template <class F>
void Guarded(F&& f) {
  try {
    f();
  } catch (...) {
    KeepHandlerError(std::current_exception());
  }
}

}  // namespace tovren::win32
