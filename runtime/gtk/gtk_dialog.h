#pragma once

#include <memory>

#include "dialog/notice_dialog.h"

namespace zprava {

// A GTK 3 message dialog on the desktop's display (X11 or Wayland); nullptr
// when no display can be opened.
std::unique_ptr<NoticeDialog> OpenGtkDialog(const DialogSettings& settings);

}  // namespace zprava
