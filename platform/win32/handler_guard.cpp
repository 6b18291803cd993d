#include "platform/win32/handler_guard.h"

namespace tovren::win32 {

namespace {
// Handlers run on the user-interface thread only, but a kept error must never be seen by
// another thread's loop.
thread_local std::exception_ptr kept;
}  // namespace

void KeepHandlerError(std::exception_ptr error) {
  // The first failure is the cause; later ones are usually its consequences.
  if (!kept) kept = std::move(error);
}

void RethrowHandlerError() {
  if (!kept) return;
  std::exception_ptr error = std::move(kept);
  kept = nullptr;
  std::rethrow_exception(error);
}

}  // namespace tovren::win32
