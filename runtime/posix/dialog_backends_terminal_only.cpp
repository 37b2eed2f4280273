#include "dialog/dialog_backends.h"
#include "posix/terminal_dialog.h"

namespace zprava {

// Built where GTK is not installed: every dialog goes to the terminal.
std::span<const DialogBackend> PlatformDialogBackends() {
  static constexpr DialogBackend kBackends[] = {OpenTerminalDialog};
  return kBackends;
}

}  // namespace zprava
