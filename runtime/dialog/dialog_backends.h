#pragma once

#include <memory>
#include <span>

#include "dialog/notice_dialog.h"

namespace zprava {

// Opens one kind of dialog, or gives nullptr when this one cannot be had
// here (no display, say), so that the next is tried.
using DialogBackend = std::unique_ptr<NoticeDialog> (*)(const DialogSettings& settings);

// The platform's backends in the order they are tried; one file per
// platform defines it.
std::span<const DialogBackend> PlatformDialogBackends();

}  // namespace zprava
