#pragma once

#include <windows.h>

#include <exception>

namespace zprava {

// Nothing may leave a window procedure by exception: a failure is kept in
// `failure` and the dialog ended, for the failure to be rethrown once the
// dialog has gone.
template <typename Action>
void Guarded(HWND dialog, std::exception_ptr& failure, Action action) {
  try {
    action();
  } catch (...) {
    failure = std::current_exception();
    EndDialog(dialog, IDABORT);
  }
}

}  // namespace zprava
