#pragma once

#include <memory>
#include <span>

#include "dialog/notice_dialog.h"

namespace zprava {

// Opens one kind of dialog, or gives nullptr when this one cannot be had
// here (no display, say), so that the next is tried.
using DialogBackend = std::unique_ptr<NoticeDialog> (*)(const DialogSettings& settings);

// A dialog that opens the first of `backends` that can be had, in their
// order, when it is first shown: a run that shows nothing touches no
// display. Throws RuntimeFailure from Show when none can be had.
// `backends` must outlive the dialog.
std::unique_ptr<NoticeDialog> MakeDialogChain(std::span<const DialogBackend> backends,
                                              DialogSettings settings);

}  // namespace zprava
