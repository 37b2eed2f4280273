#pragma once

#include <memory>

#include "dialog/notice_dialog.h"

namespace zprava {

// The Windows dialog, always to be had: the system's message box for a notice
// that fits the screen in one, our own scrolled dialog for a longer one.
std::unique_ptr<NoticeDialog> OpenWindowsDialog(const DialogSettings& settings);

}  // namespace zprava
