#include "terminal/terminal_hold.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <string>

#include "system/failure.h"

namespace zprava {
namespace {

// The terminal as it was found, for a signal handler to put back: only
// what may be touched there (the settings, bytes to write, plain flags).
struct SavedTerminal {
  int input_fd = -1;
  int output_fd = -1;
  termios settings{};
  char leave[512] = {};  // what leaves the pager's screen
  std::size_t leave_length = 0;
  char enter[512] = {};  // what enters it again after a stop
  std::size_t enter_length = 0;
  termios raw{};
  int wake_fd = -1;  // written to when the screen must be drawn anew
  volatile sig_atomic_t changed = 0;
};
SavedTerminal saved;

// Signal-safe: write(2) and tcsetattr(3) alone.
void WriteQuietly(int fd, const char* bytes, std::size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(fd, bytes, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    length -= static_cast<std::size_t>(written);
  }
}

void PutTerminalBack() {
  if (saved.changed == 0) return;
  WriteQuietly(saved.output_fd, saved.leave, saved.leave_length);
  ::tcsetattr(saved.input_fd, TCSADRAIN, &saved.settings);
  saved.changed = 0;
}

void TakeTerminal() {
  saved.changed = 1;
  ::tcsetattr(saved.input_fd, TCSADRAIN, &saved.raw);
  WriteQuietly(saved.output_fd, saved.enter, saved.enter_length);
}

void Wake() {
  const char byte = 0;
  [[maybe_unused]] const ssize_t ignored = ::write(saved.wake_fd, &byte, 1);
}

// A signal that ends the process: the terminal is put back, and the signal
// then ends it as it would have without the pager (it is blocked while its
// handler runs, so the raise takes effect as the handler returns).
void Ending(int signal_number) {
  const int saved_errno = errno;
  PutTerminalBack();
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
  errno = saved_errno;
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int kOtherSignals[] = {SIGTSTP, SIGCONT, SIGWINCH};

sigset_t HandledSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal_number : kEndingSignals) sigaddset(&set, signal_number);
  for (const int signal_number : kOtherSignals) sigaddset(&set, signal_number);
  return set;
}

// Each handler runs with the others held off, so that none finds the
// terminal half taken or half put back.
void Install(int signal_number, void (*handler)(int), struct sigaction* before) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_mask = HandledSignals();
  ::sigaction(signal_number, &action, before);
}

// Ctrl+Z: the shell gets its terminal back as it was while the process is
// stopped.
void Stopping(int) {
  const int saved_errno = errno;
  PutTerminalBack();
  std::signal(SIGTSTP, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  ::sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  std::raise(SIGTSTP);
  // Continued: SIGCONT's handler has taken the terminal again.
  ::sigprocmask(SIG_BLOCK, &stop, nullptr);
  Install(SIGTSTP, Stopping, nullptr);
  errno = saved_errno;
}

// After any stop, Ctrl+Z or not, the shell may have set the terminal as it
// likes it: the pager takes it again and draws anew.
void Continued(int) {
  const int saved_errno = errno;
  TakeTerminal();
  Wake();
  errno = saved_errno;
}

void Resized(int) {
  const int saved_errno = errno;
  Wake();
  errno = saved_errno;
}

void CopyInto(char (&buffer)[512], std::size_t& length, const std::string& bytes) {
  length = std::min(bytes.size(), sizeof buffer);
  std::memcpy(buffer, bytes.data(), length);
}

}  // namespace

static_assert(std::size(kEndingSignals) == TerminalHold::kEndingSignalCount);
static_assert(std::size(kOtherSignals) == TerminalHold::kOtherSignalCount);

TerminalHold::TerminalHold(int input_fd, int output_fd, const TerminalStrings& strings) {
  if (::tcgetattr(input_fd, &saved.settings) != 0) throw RuntimeFailure(FailureNumber::kDeviceIo);
  if (::pipe(wake_) != 0) throw RuntimeFailure(FailureNumber::kDeviceIo);
  for (const int fd : wake_) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  saved.input_fd = input_fd;
  saved.output_fd = output_fd;
  saved.wake_fd = wake_[1];
  saved.raw = saved.settings;
  // Signals from the keyboard (Ctrl+C, Ctrl+\, Ctrl+Z) keep their meaning.
  saved.raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  saved.raw.c_cc[VMIN] = 1;
  saved.raw.c_cc[VTIME] = 0;
  CopyInto(saved.enter, saved.enter_length, strings.enter_screen + strings.hide_cursor);
  // Without an alternate screen the last page stays, as a pager that
  // leaves its last page does, and what comes after goes on below its
  // status line, where the cursor was left.
  CopyInto(saved.leave, saved.leave_length,
           strings.show_cursor + strings.leave_screen + (strings.alternate ? "" : "\r\n"));

  // Handlers first: a signal that comes once the terminal is taken finds
  // them in place. A signal ignored (nohup) stays ignored.
  sigset_t all = HandledSignals();
  ::sigprocmask(SIG_BLOCK, &all, &mask_before_);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    Install(kEndingSignals[i], Ending, &before_[i]);
    if (before_[i].sa_handler == SIG_IGN) ::sigaction(kEndingSignals[i], &before_[i], nullptr);
  }
  Install(SIGTSTP, Stopping, &before_other_[0]);
  if (before_other_[0].sa_handler == SIG_IGN) ::sigaction(SIGTSTP, &before_other_[0], nullptr);
  Install(SIGCONT, Continued, &before_other_[1]);
  Install(SIGWINCH, Resized, &before_other_[2]);
  TakeTerminal();
  ::sigprocmask(SIG_SETMASK, &mask_before_, nullptr);
}

TerminalHold::~TerminalHold() {
  // Signals wait until the terminal is back and the handlers found are
  // in place again; they then act as they would have.
  sigset_t all = HandledSignals();
  sigset_t during;
  ::sigprocmask(SIG_BLOCK, &all, &during);
  PutTerminalBack();
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    ::sigaction(kEndingSignals[i], &before_[i], nullptr);
  }
  for (std::size_t i = 0; i < std::size(kOtherSignals); ++i) {
    ::sigaction(kOtherSignals[i], &before_other_[i], nullptr);
  }
  saved.wake_fd = -1;
  ::close(wake_[0]);
  ::close(wake_[1]);
  ::sigprocmask(SIG_SETMASK, &during, nullptr);
}

bool TerminalHold::TakeWake() const {
  char bytes[64];
  bool woken = false;
  while (::read(wake_[0], bytes, sizeof bytes) > 0) woken = true;
  return woken;
}

}  // namespace zprava
