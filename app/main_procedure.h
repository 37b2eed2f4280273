#pragma once

#include <cstdint>

#include "dialog/notice_dialog.h"

namespace zprava {

// How the process ends.
enum ExitStatus : int {
  kNoticeShown = 0,    // the notice was shown and dismissed
  kNotFoundShown = 1,  // "Zprava.ini" was missing and the not-found notice was shown
  kEndedSilently = 2,  // any other failure: no dialog
};

// Reads the notice, turns its semicolons into commas and shows it. A missing
// notice file shows the not-found notice instead; any other failure ends
// without a dialog, a notice that would take more than half of
// `available_memory` (AvailableMemory() of the system) among them.
ExitStatus Main(NoticeDialog& dialog, std::uint64_t available_memory);

}  // namespace zprava
