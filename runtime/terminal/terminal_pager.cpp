#include "terminal/terminal_pager.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "dialog/page_moves.h"
#include "system/failure.h"
#include "terminal/terminal_character_classes.h"
#include "terminal/terminal_hold.h"
#include "terminal/terminal_keys.h"
#include "terminal/terminal_output.h"
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
