#pragma once

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
// without a dialog.
ExitStatus Main(NoticeDialog& dialog);

}  // namespace zprava
