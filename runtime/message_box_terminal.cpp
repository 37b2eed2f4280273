#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "runtime/failure.h"
#include "runtime/message_box.h"
#include "runtime/unicode.h"

namespace zprava {
namespace {

std::string IconMarker(int style) {
  switch (style & message_box_style::kIconMask) {
    case message_box_style::kCritical:
      return "[x] ";
    case message_box_style::kQuestion:
      return "[?] ";
    case message_box_style::kExclamation:
      return "[!] ";
    case message_box_style::kInformation:
      return "[i] ";
    default:
      return "";
  }
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw RuntimeFailure(FailureNumber::kDeviceIo);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void WriteDisplayText(int fd, std::u16string_view text) {
  ForEachDisplaySlice(text, DisplayTarget::kTerminal,
                      [fd](const std::string& slice) { WriteAll(fd, slice); });
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

class TerminalMessageBox final : public MessageBox {
 public:
  TerminalMessageBox(int input_fd, int output_fd) : input_fd_(input_fd), output_fd_(output_fd) {
    // A closed reader must surface as a failed write, not kill the process.
    std::signal(SIGPIPE, SIG_IGN);
  }

  int Show(std::u16string prompt, int style, std::u16string_view caption) override {
    WriteAll(output_fd_, IconMarker(style));
    WriteDisplayText(output_fd_, caption);
    WriteAll(output_fd_, "\n");
    WriteDisplayText(output_fd_, prompt);
    WriteAll(output_fd_, "\n[ OK ]\n");
    if (::isatty(input_fd_)) WaitForEnter(input_fd_);
    return kResultOk;
  }

 private:
  int input_fd_;
  int output_fd_;
};

}  // namespace

std::unique_ptr<MessageBox> MakeTerminalMessageBox(int input_fd, int output_fd) {
  return std::make_unique<TerminalMessageBox>(input_fd, output_fd);
}

}  // namespace zprava
