#pragma once

#include <memory>

#include "dialog/notice_dialog.h"

namespace zprava {

// The system's own message box, always to be had on Windows.
std::unique_ptr<NoticeDialog> OpenMessageBoxDialog(const DialogSettings& settings);

}  // namespace zprava
