#include "terminal/terminal_dialog.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <string_view>

#include "system/failure.h"
#include "terminal/terminal_output.h"
#include "terminal/terminal_pager.h"
#include "text/display_text.h"

namespace zprava {
namespace {

// Plain text only: no control character reaches the terminal.
void WriteLine(int fd, std::u16string_view text) {
  ForEachDisplaySlice(text, DisplayTarget::kTerminal,
                      [fd](const std::string& slice) { WriteAll(fd, slice); });
  WriteAll(fd, "\n");
}

// Enter acknowledges; end of input or a read error does too.
void WaitForEnter(int fd) {
  char c = 0;
  for (;;) {
    const ssize_t got = ::read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || c == '\n') return;
  }
}

class TerminalNoticeDialog final : public NoticeDialog {
 public:
  TerminalNoticeDialog(int input_fd, int output_fd) : input_fd_(input_fd), output_fd_(output_fd) {
    // A closed reader must surface as a failed write, not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
  }

  void Show(DialogContent content) override {
    // "[?]" stands for the question icon.
    const std::u16string caption = std::u16string(u"[?] ").append(content.caption);
    const std::u16string top = std::u16string(caption).append(u"\n").append(content.header);
    if (ShowPaged(input_fd_, output_fd_, top, content.body)) return;
    WriteLine(output_fd_, caption);
    WriteLine(output_fd_, content.header);
    WriteLine(output_fd_, content.body);
    WriteAll(output_fd_, "[ OK ]\n");
    if (::isatty(input_fd_)) WaitForEnter(input_fd_);
  }

 private:
  int input_fd_;
  int output_fd_;
};

}  // namespace

std::unique_ptr<NoticeDialog> MakeTerminalDialog(int input_fd, int output_fd) {
  return std::make_unique<TerminalNoticeDialog>(input_fd, output_fd);
}

std::unique_ptr<NoticeDialog> OpenTerminalDialog(const DialogSettings&) {
  return MakeTerminalDialog(STDIN_FILENO, STDOUT_FILENO);
}

}  // namespace zprava
