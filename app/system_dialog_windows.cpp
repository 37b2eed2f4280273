#include "dialog/dialog_chain.h"
#include "system_dialog.h"
#include "win32/windows_dialog.h"

namespace zprava {

// The Windows dialog, which can always be had.
std::unique_ptr<NoticeDialog> MakeSystemDialog(DialogSettings settings) {
  static constexpr DialogBackend kBackends[] = {OpenWindowsDialog};
  return MakeDialogChain(kBackends, settings);
}

}  // namespace zprava
