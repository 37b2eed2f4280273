#pragma once

#include <windows.h>

#include <exception>

namespace zprava {

// Nothing may leave a window procedure by exception: each procedure of ours
// runs its work through RunGuarded, which keeps a failure in `failure` and
// ends the dialog, for the failure to be rethrown once the dialog has gone.
template <typename Action>
void RunGuarded(HWND dialog, std::exception_ptr& failure, Action action) {
  try {
    action();
  } catch (...) {
    failure = std::current_exception();
    EndDialog(dialog, IDABORT);
  }
}

}  // namespace zprava
