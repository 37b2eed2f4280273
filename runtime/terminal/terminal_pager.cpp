#include "terminal/terminal_pager.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "dialog/page_moves.h"
#include "system/failure.h"
#include "terminal/terminal_character_classes.h"
#include "terminal/terminal_keys.h"
#include "terminal/terminfo.h"
#include "text/display_rows.h"
#include "text/display_text.h"
#include "text/unicode.h"

namespace zprava {
namespace {

// How long an Escape waits for the rest of a key's sequence before it counts
// as the Escape key: a sequence's bytes come together, even over a slow
// link, while no one presses a key after Escape as quickly as this.
constexpr int kEscapeWaitMs = 100;

struct ScreenSize {
  int rows = 0;
  int columns = 0;
};

ScreenSize SizeOf(int fd, const TerminalStrings& strings) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
    return {size.ws_row, size.ws_col};
  }
  return {strings.described_rows, strings.described_columns};
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw RuntimeFailure(FailureNumber::kDeviceIo);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// A row as the terminal is to show it: plain text, each tab filled to its
// stop with blanks, and never wider than `width`, so that the terminal
// never wraps a row onto the next line.
std::string TerminalRow(std::u16string_view row, int width, const CharacterClasses& classes) {
  std::string out;
  int column = 0;
  std::size_t shown_from = 0;
  std::size_t at = 0;
  auto flush = [&] {
    out += ToDisplayUtf8(row.substr(shown_from, at - shown_from), DisplayTarget::kTerminal);
  };
  while (at < row.size()) {
    const CodePoint c = CodePointAt(row, at);
    if (c.value == U'\t') {
      flush();
      const int stop = std::min(width, (column / kTabColumns + 1) * kTabColumns);
      out.append(static_cast<std::size_t>(std::max(stop - column, 0)), ' ');
      column = stop;
      shown_from = at + 1;
    } else {
      const int columns = classes.columns(c.value);
      if (column + columns > width) break;
      column += columns;
    }
    at += c.length;
  }
  flush();
  return out;
}

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
class TerminalHold {
 public:
  TerminalHold(int input_fd, int output_fd, const TerminalStrings& strings) {
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

  ~TerminalHold() {
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

  TerminalHold(const TerminalHold&) = delete;
  TerminalHold& operator=(const TerminalHold&) = delete;

  int WakeFd() const { return wake_[0]; }

  // Empties the wake pipe; true when something was in it.
  bool TakeWake() const {
    char bytes[64];
    bool woken = false;
    while (::read(wake_[0], bytes, sizeof bytes) > 0) woken = true;
    return woken;
  }

 private:
  int wake_[2] = {-1, -1};
  sigset_t mask_before_{};
  struct sigaction before_[std::size(kEndingSignals)] = {};
  struct sigaction before_other_[std::size(kOtherSignals)] = {};
};

// The dialog laid out for one size of screen: the rows of the top (caption
// and header) and of the body, counted once as the long notice view counts
// them, keeping only a start every so many rows; a row is cut again from
// there only when it is drawn.
class PagedDialog {
 public:
  PagedDialog(std::u16string_view top, std::u16string_view body, const Terminfo& terminfo,
              ScreenSize size)
      : top_text_(top),
        body_text_(body),
        terminfo_(terminfo),
        classes_(TerminalCharacterClasses()) {
    Resize(size);
  }

  // Printed line after line, the dialog ends with the cursor on the line
  // below "[ OK ]": that line too must be on screen, or the caption scrolls off.
  bool Fits() const { return top_->Count() + body_->Count() + 2 <= Rows(); }

  // Cuts the rows anew for a new width, keeping the body's first row on
  // screen at the top.
  void Resize(ScreenSize size) {
    size.columns = std::max(size.columns, 1);
    size.rows = std::max(size.rows, 1);
    if (!body_ || size.columns != size_.columns) {
      const std::size_t kept = body_ ? body_->Start(top_row_) : 0;
      const auto columns = static_cast<std::size_t>(size.columns);
      top_.emplace(top_text_, columns, classes_);
      body_.emplace(body_text_, columns, classes_);
      top_row_ = body_->IndexOf(kept);
    }
    size_ = size;
    top_row_ = TopAfterMove(top_row_, body_->Count(), PageRows(), PageMove::kNone);
  }

  void Move(PageMove move) { top_row_ = TopAfterMove(top_row_, body_->Count(), PageRows(), move); }

  // The whole screen: the top, the page of the body, and the status line.
  std::string Frame() const {
    const TerminalStrings& strings = terminfo_.Strings();
    const bool clears_lines = !strings.clear_to_line_end.empty();
    std::string out = clears_lines ? std::string() : strings.clear;
    int y = 0;
    auto line = [&](std::u16string_view text) {
      out += terminfo_.MoveTo(y++, 0);
      out += TerminalRow(text, size_.columns, classes_);
      out += strings.clear_to_line_end;
    };
    std::size_t start = 0;
    for (std::size_t i = 0; i < TopRows(); ++i) {
      const DisplayRows::Row row = top_->RowAt(start);
      line(row.text);
      start = row.next;
    }
    start = body_->Start(top_row_);
    for (std::size_t i = 0; i < PageRows(); ++i) {
      if (top_row_ + i < body_->Count()) {
        const DisplayRows::Row row = body_->RowAt(start);
        line(row.text);
        start = row.next;
      } else {
        line({});
      }
    }
    const std::string status = PagePosition(top_row_, body_->Count(), PageRows());
    const std::u16string bottom = u"[ OK ]  " + std::u16string(status.begin(), status.end());
    // Short of the last column: writing there scrolls some terminals.
    out += terminfo_.MoveTo(y, 0);
    out += TerminalRow(bottom, size_.columns - 1, classes_);
    out += strings.clear_to_line_end;
    return out;
  }

 private:
  std::size_t Rows() const { return static_cast<std::size_t>(size_.rows); }
  // The top keeps to itself only what leaves the body a row, and the status line its own.
  std::size_t TopRows() const { return std::min(top_->Count(), Rows() >= 3 ? Rows() - 2 : 0); }
  std::size_t PageRows() const { return Rows() > TopRows() + 1 ? Rows() - TopRows() - 1 : 1; }

  std::u16string_view top_text_;
  std::u16string_view body_text_;
  const Terminfo& terminfo_;
  CharacterClasses classes_;
  ScreenSize size_;
  std::optional<DisplayRows> top_;
  std::optional<DisplayRows> body_;
  std::size_t top_row_ = 0;
};

// Reads keys and acts on them until one closes the dialog, or the input
// ends or fails, which closes it too, as on the line-by-line terminal.
void Page(int input_fd, int output_fd, const TerminalHold& hold, PagedDialog& dialog,
          const Terminfo& terminfo) {
  const std::vector<KeySequence> keys = PagerKeys(std::vector<KeySequence>{
      {terminfo.Strings().keys.down, PageMove::kRowDown},
      {terminfo.Strings().keys.up, PageMove::kRowUp},
      {terminfo.Strings().keys.page_down, PageMove::kPageDown},
      {terminfo.Strings().keys.page_up, PageMove::kPageUp},
      {terminfo.Strings().keys.home, PageMove::kToStart},
      {terminfo.Strings().keys.end, PageMove::kToEnd},
  });
  // The screen may have changed size before the handler was there to tell.
  dialog.Resize(SizeOf(output_fd, terminfo.Strings()));
  WriteAll(output_fd, terminfo.Strings().clear + dialog.Frame());
  std::string pending;
  for (;;) {
    pollfd fds[] = {{input_fd, POLLIN, 0}, {hold.WakeFd(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, pending.empty() ? -1 : kEscapeWaitMs);
    if (ready < 0 && errno != EINTR) throw RuntimeFailure(FailureNumber::kDeviceIo);
    if (ready > 0 && fds[1].revents != 0 && hold.TakeWake()) {
      dialog.Resize(SizeOf(output_fd, terminfo.Strings()));
      WriteAll(output_fd, terminfo.Strings().clear + dialog.Frame());
    }
    const bool more = ready > 0 && fds[0].revents != 0;
    if (more) {
      char bytes[256];
      const ssize_t got = ::read(input_fd, bytes, sizeof bytes);
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (got <= 0) return;
      pending.append(bytes, static_cast<std::size_t>(got));
    } else if (ready != 0) {
      continue;
    }
    bool moved = false;
    while (!pending.empty()) {
      // On a timeout nothing more of a sequence is coming.
      const DecodedKey key = DecodeKey(pending, keys, ready != 0);
      if (key.used == 0) break;
      pending.erase(0, key.used);
      if (key.key == PagerKey::kClose) return;
      if (key.key == PagerKey::kMove) {
        dialog.Move(key.move);
        moved = true;
      }
    }
    if (moved) WriteAll(output_fd, dialog.Frame());
  }
}

}  // namespace

bool ShowPaged(int input_fd, int output_fd, std::u16string_view top, std::u16string_view body) {
  if (!::isatty(input_fd) || !::isatty(output_fd)) return false;
  const std::optional<Terminfo> terminfo = Terminfo::ForTerminal(output_fd);
  if (!terminfo) return false;
  const ScreenSize size = SizeOf(output_fd, terminfo->Strings());
  if (size.rows <= 0 || size.columns <= 0) return false;
  PagedDialog dialog(top, body, *terminfo, size);
  if (dialog.Fits()) return false;
  const TerminalHold hold(input_fd, output_fd, terminfo->Strings());
  Page(input_fd, output_fd, hold, dialog, *terminfo);
  return true;
}

}  // namespace zprava
