#include "dialog/dialog_backends.h"

#include "gtk/gtk_dialog.h"
#include "posix/terminal_dialog.h"

namespace zprava {

std::span<const DialogBackend> PlatformDialogBackends() {
  static constexpr DialogBackend kBackends[] = {OpenGtkDialog, OpenTerminalDialog};
  return kBackends;
}

}  // namespace zprava
