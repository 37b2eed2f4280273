// Turning notices into what a person sees: display text, rows and the terminal dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "posix/terminal_dialog.h"
#include "system/failure.h"
#include "text/display_rows.h"
#include "text/display_text.h"

namespace zprava {
namespace {

using namespace std::string_literals;

struct DisplayCase {
  const char* what;
  std::u16string text;
  std::string dialog;
  std::string terminal;
};

TEST(ToDisplayUtf8, LineBreaksAndControlsAreHarmless) {
  const DisplayCase cases[] = {
      {"CR LF", u"a\r\nb", "a\nb", "a\nb"},
      {"lone CR and LF", u"a\rb\nc", "a\nb\nc", "a\nb\nc"},
      {"tab stays", u"a\tb", "a\tb", "a\tb"},
      {"escape sequence", u"\x1B[31mred", "\uFFFD[31mred", "\uFFFD[31mred"},
      {"NUL, BEL, backspace, DEL, C1", u"\0\a\b\x7F\x85"s, "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD",
       "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"markup and formats are just text", u"<b>&amp;%s%n", "<b>&amp;%s%n", "<b>&amp;%s%n"},
      {"right-to-left override", u"a\u202Eb", "a\u202Eb", "a\uFFFDb"},
      {"unpaired surrogates", u"\xD800x\xDC00", "\uFFFDx\uFFFD", "\uFFFDx\uFFFD"},
      {"pair and Czech", u"ž\U0001F600", "ž\U0001F600", "ž\U0001F600"},
  };
  for (const DisplayCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ToDisplayUtf8(c.text, DisplayTarget::kDialog), c.dialog);
    EXPECT_EQ(ToDisplayUtf8(c.text, DisplayTarget::kTerminal), c.terminal);
    // Windows takes the same text in UTF-16, with CR LF line ends.
    EXPECT_EQ(ToDisplayUtf8(ToDisplayUtf16(c.text, DisplayTarget::kDialog), DisplayTarget::kDialog),
              c.dialog);
  }
  EXPECT_EQ(ToDisplayUtf16(u"a\rb\nc\r\nd", DisplayTarget::kDialog), u"a\r\nb\r\nc\r\nd");
}

// Display text is made a slice at a time; no slice may end inside a CR LF or
// a surrogate pair, wherever they fall against the slice size.
TEST(ForEachDisplaySlice, NeverSplitsALineEndOrAPair) {
  const std::u16string text = u"ab\r\ncd\U0001F600e\rf\ng\r\n\U0001F600";
  for (std::size_t slice_units = 1; slice_units <= text.size() + 1; ++slice_units) {
    SCOPED_TRACE(slice_units);
    std::string joined;
    ForEachDisplaySlice(
        text, DisplayTarget::kTerminal,
        [&](const std::string& slice) {
          EXPECT_EQ(slice.find("\uFFFD"), std::string::npos);
          joined += slice;
        },
        slice_units);
    EXPECT_EQ(joined, ToDisplayUtf8(text, DisplayTarget::kTerminal));
  }
}

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

std::vector<std::u16string> AllRows(const DisplayRows& rows) {
  std::vector<std::u16string> all;
  for (std::size_t i = 0, start = 0; i < rows.Count(); ++i) {
    const DisplayRows::Row row = rows.RowAt(start);
    all.emplace_back(row.text);
    start = row.next;
  }
  return all;
}

TEST(DisplayRows, LinesAreCutIntoRowsAtBlanksWherePossible) {
  struct Case {
    const char* what;
    std::u16string text;
    std::vector<std::u16string> rows;  // of at most ten units
  };
  const Case cases[] = {
      {"empty", u"", {u""}},
      {"every kind of line end", u"a\r\nb\rc\nd", {u"a", u"b", u"c", u"d"}},
      {"final line end leaves an empty row", u"a\r\n", {u"a", u""}},
      {"empty lines", u"\r\n\r\n", {u"", u"", u""}},
      {"cut after the last blank", u"one two three four", {u"one two ", u"three four"}},
      {"a blank too early is no place to cut", u"ab cdefghijklmn", {u"ab cdefghi", u"jklmn"}},
      {"a full row takes its line end along", u"0123456789\r\nx", {u"0123456789", u"x"}},
      {"a surrogate pair stays whole", u"012345678\U0001F600x", {u"012345678", u"\U0001F600x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DisplayRows rows(c.text, 10);
    EXPECT_EQ(rows.Count(), c.rows.size());
    EXPECT_EQ(AllRows(rows), c.rows);
  }
}

// A view finds any row again from the starts kept every so many rows.
TEST(DisplayRows, AnyRowIsFoundAgainByItsIndex) {
  std::u16string text;
  for (int i = 0; i < 300; ++i) text += u"line " + std::u16string(i % 25, u'x') + u"\r\n";
  const DisplayRows rows(text, 12);
  const std::vector<std::u16string> all = AllRows(rows);
  for (std::size_t i = 0; i < rows.Count(); ++i) {
    ASSERT_EQ(rows.RowAt(rows.Start(i)).text, all[i]) << "row " << i;
  }
}

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
