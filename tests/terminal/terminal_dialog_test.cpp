// The dialog on a terminal, written to pipes and files as a terminal would get it.
#include "terminal/terminal_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "system/failure.h"
#include "text/display_text.h"

namespace zprava {
namespace {

class Pipe {
 public:
  Pipe() { EXPECT_EQ(::pipe(fds_), 0); }
  ~Pipe() {
    CloseReader();
    ::close(fds_[1]);
  }
  int reader() const { return fds_[0]; }
  int writer() const { return fds_[1]; }
  void CloseReader() {
    if (fds_[0] >= 0) ::close(fds_[0]);
    fds_[0] = -1;
  }
  std::string Drain() {
    ::close(fds_[1]);
    fds_[1] = -1;
    std::string out;
    char buffer[256];
    for (ssize_t got; (got = ::read(fds_[0], buffer, sizeof buffer)) > 0;) out.append(buffer, got);
    return out;
  }

 private:
  int fds_[2] = {-1, -1};
};

TEST(TerminalDialog, WritesTheDialogWithoutATerminal) {
  Pipe input, output;
  MakeTerminalDialog(input.reader(), output.writer())
      ->Show({.caption = u"Tibrel", .header = u"Zpráva: D", .body = u"řádek\r\n\x1B]0;x\a"});
  EXPECT_EQ(output.Drain(), "[?] Tibrel\nZpráva: D\nřádek\n\uFFFD]0;x\uFFFD\n[ OK ]\n");
}

TEST(TerminalDialog, LongBodyKeepsLineBreaksAndPairsWhole) {
  // A CR LF straddles the first slice boundary and a surrogate pair the second.
  const std::size_t slice = kDisplaySliceUnits;
  const std::u16string body =
      std::u16string(slice - 1, u'a') + u"\r\n" + std::u16string(slice - 1, u'b') + u"\U0001F600c";
  FILE* output = std::tmpfile();
  ASSERT_NE(output, nullptr);
  Pipe input;
  MakeTerminalDialog(input.reader(), fileno(output))
      ->Show({.caption = u"T", .header = u"H", .body = body});
  std::rewind(output);
  std::string written(3 * slice, '\0');
  written.resize(std::fread(written.data(), 1, written.size(), output));
  std::fclose(output);
  EXPECT_EQ(written, "[?] T\nH\n" + std::string(slice - 1, 'a') + "\n" +
                         std::string(slice - 1, 'b') + "\U0001F600c\n[ OK ]\n");
}

TEST(TerminalDialog, FailedWriteIsAFailureNotACrash) {
  Pipe input, output;
  output.CloseReader();
  EXPECT_THROW(MakeTerminalDialog(input.reader(), output.writer())
                   ->Show({.caption = u"Tibrel", .header = u"H", .body = u"x"}),
               RuntimeFailure);
}

}  // namespace
}  // namespace zprava
