#include "dialog/dialog_chain.h"
#include "system_dialog.h"
#include "terminal/terminal_dialog.h"

namespace zprava {

// Built where GTK is not installed: every dialog goes to the terminal.
std::unique_ptr<NoticeDialog> MakeSystemDialog(DialogSettings settings) {
  static constexpr DialogBackend kBackends[] = {OpenTerminalDialog};
  return MakeDialogChain(kBackends, settings);
}

}  // namespace zprava
