#pragma once

#include <memory>

#include "dialog/notice_dialog.h"

namespace zprava {

// The dialog printed on a terminal: "[?] " and the caption, the header and
// the body, then "[ OK ]"; where the input is a terminal it waits for Enter.
// Where input and output are both terminals and the dialog is taller than
// the screen, it is shown a screen at a time instead (terminal_pager.h).
std::unique_ptr<NoticeDialog> MakeTerminalDialog(int input_fd, int output_fd);

// The terminal dialog on standard input and output, always to be had.
std::unique_ptr<NoticeDialog> OpenTerminalDialog(const DialogSettings& settings);

}  // namespace zprava
