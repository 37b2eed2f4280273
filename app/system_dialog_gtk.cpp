#include "dialog/dialog_chain.h"
#include "gtk/gtk_dialog.h"
#include "system_dialog.h"
#include "terminal/terminal_dialog.h"

namespace zprava {

// GTK's where a display can be opened (X11 or Wayland), otherwise the
// terminal's.
std::unique_ptr<NoticeDialog> MakeSystemDialog(DialogSettings settings) {
  static constexpr DialogBackend kBackends[] = {OpenGtkDialog, OpenTerminalDialog};
  return MakeDialogChain(kBackends, settings);
}

}  // namespace zprava
