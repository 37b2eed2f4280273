#include "dialog/dialog_backends.h"

#include "windows/message_box_dialog.h"

namespace zprava {

std::span<const DialogBackend> PlatformDialogBackends() {
  static constexpr DialogBackend kBackends[] = {OpenMessageBoxDialog};
  return kBackends;
}

}  // namespace zprava
