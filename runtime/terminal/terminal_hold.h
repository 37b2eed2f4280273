#pragma once

#include <csignal>

#include "terminal/terminfo.h"

namespace zprava {

// The terminal held in the pager's state for as long as this lives: input
// byte by byte without echo, the alternate screen, the cursor hidden, the
// handlers of the signals above installed; all put back as it was found
// however the dialog ends.
//
// The pages are drawn on the alternate screen, where the terminal has one,
// so that closing the dialog brings back the screen as it was before, as a
// closed dialog window uncovers what lay under it: what was typed and
// printed up to the program's start is there again, and the shell or login
// script goes on below it. Left on the normal screen, the last page would
// stay behind as a fragment of the notice without its start, and every
// page drawn would be in the terminal's scrollback.
//
// A signal that ends the process (SIGINT, SIGTERM, SIGHUP, SIGQUIT) puts the
// terminal back first, then ends it as it would have; Ctrl+Z gives the
// shell its terminal back while the process is stopped. After a stop or a
// change of the screen's size, WakeFd becomes readable: the pager draws anew.
// Only one may live at a time.
class TerminalHold {
 public:
  static constexpr int kEndingSignalCount = 4;  // SIGINT, SIGTERM, SIGHUP, SIGQUIT
  static constexpr int kOtherSignalCount = 3;   // SIGTSTP, SIGCONT, SIGWINCH

  TerminalHold(int input_fd, int output_fd, const TerminalStrings& strings);
  ~TerminalHold();
  TerminalHold(const TerminalHold&) = delete;
  TerminalHold& operator=(const TerminalHold&) = delete;

  int WakeFd() const { return wake_[0]; }

  // Empties the wake pipe; true when something was in it.
  bool TakeWake() const;

 private:
  int wake_[2] = {-1, -1};
  sigset_t mask_before_{};
  struct sigaction before_[kEndingSignalCount] = {};
  struct sigaction before_other_[kOtherSignalCount] = {};
};

}  // namespace zprava
