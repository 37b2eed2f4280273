#include "dialog/dialog_backends.h"

#include "windows/windows_dialog.h"

namespace zprava {

std::span<const DialogBackend> PlatformDialogBackends() {
  static constexpr DialogBackend kBackends[] = {OpenWindowsDialog};
  return kBackends;
}

}  // namespace zprava
