// Turning notices into what a person sees: display text, rows and the terminal dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialog/body_layout.h"
#include "posix/terminal_dialog.h"
#include "system/failure.h"
#include "text/display_rows.h"
#include "text/display_text.h"
#include "text/text_window.h"
#include "text/unicode.h"

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

bool SplitsUnit(std::u16string_view text, std::size_t at) {
  return at > 0 && at < text.size() &&
         ((IsHighSurrogate(text[at - 1]) && IsLowSurrogate(text[at])) ||
          (text[at - 1] == u'\r' && text[at] == u'\n'));
}

std::u16string Repeated(std::u16string_view part, std::size_t times) {
  std::u16string text;
  for (std::size_t i = 0; i < times; ++i) text += part;
  return text;
}

// Walked window by window to the end and back, every text is covered by
// overlapping windows of bounded size that never split a pair or a CR LF.
TEST(TextWindow, WalksTheWholeTextInBothDirections) {
  constexpr std::size_t kUnits = 16;
  const struct {
    const char* what;
    std::u16string text;
  } cases[] = {
      {"short", u"ab\r\ncd"},
      {"CR LF lines", Repeated(u"line\r\n", 20)},
      {"lone LF and CR", Repeated(u"ab\ncd\r", 20)},
      {"empty lines", Repeated(u"\r\n", 40)},
      {"one word", Repeated(u"w", 100)},
      {"one word of pairs, at odd offsets", u"a" + Repeated(u"\U0001F600", 50)},
      {"pair before CR LF", Repeated(u"abcdefg\U0001F600\r\n", 12)},
      {"long lines", Repeated(u"0123456789abcdefghijklmnopqrstuvwxyz\n", 5)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string_view text = c.text;
    auto check = [&](TextSpan w) {
      EXPECT_LT(w.begin, w.end);
      EXPECT_LE(w.end - w.begin, kUnits + kUnits / 8);
      EXPECT_FALSE(SplitsUnit(text, w.begin)) << w.begin;
      EXPECT_FALSE(SplitsUnit(text, w.end)) << w.end;
    };
    TextSpan window = TextWindowFrom(text, 0, kUnits);
    EXPECT_EQ(window.begin, 0u);
    for (int step = 0; window.end < text.size() && step < 100; ++step) {
      check(window);
      const TextSpan next = NextTextWindow(text, window, kUnits);
      EXPECT_LT(next.begin, window.end);
      EXPECT_GT(next.end, window.end);
      window = next;
    }
    EXPECT_EQ(window, TextWindowFrom(text, text.size(), kUnits));
    EXPECT_EQ(window.end, text.size());
    for (int step = 0; window.begin > 0 && step < 100; ++step) {
      check(window);
      const TextSpan previous = PreviousTextWindow(text, window, kUnits);
      EXPECT_LT(previous.begin, window.begin);
      EXPECT_GT(previous.end, window.begin);
      window = previous;
    }
    EXPECT_EQ(window, TextWindowFrom(text, 0, kUnits));
  }
}

TEST(TextWindow, EndsFallAtLineEndsWhereThereAreAny) {
  const struct {
    const char* what;
    std::u16string text;
    std::size_t from;
    TextSpan window;
  } cases[] = {
      {"whole when short", u"abc\r\ndef", 5, {0, 8}},
      {"start after a line end, end before one",
       u"abcdefgh\r\nijklmnopqrstuv\r\nwxyz0123456789",
       12,
       {10, 24}},
      {"start after a lone LF", u"aaaaaaaaa\nbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", 11, {10, 26}},
      {"no line end near: cut anywhere", Repeated(u"x", 40), 5, {5, 21}},
      {"no line end near: not inside CR LF", u"aaaaa\r\n" + Repeated(u"x", 40), 6, {5, 21}},
      {"the last window reaches the end", Repeated(u"x", 40), 30, {24, 40}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TextSpan window = TextWindowFrom(c.text, c.from, 16);
    EXPECT_EQ(window.begin, c.window.begin);
    EXPECT_EQ(window.end, c.window.end);
  }
}

TEST(TextWindow, DisplayOffsetsMatchTheDisplayText) {
  const std::u16string text = u"a\r\nb\rc\nd\U0001F600\x01";
  for (std::size_t at = 0; at <= text.size(); ++at) {
    if (SplitsUnit(text, at)) continue;
    SCOPED_TRACE(at);
    const std::size_t display = ToDisplayUtf16(text.substr(0, at), DisplayTarget::kDialog).size();
    EXPECT_EQ(DisplayOffset(text, at), display);
    EXPECT_EQ(TextOffset(text, display), at);
  }
  EXPECT_EQ(TextOffset(u"a\nb", 2), 1u);  // between the CR and LF shown for a lone LF
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
    std::vector<std::u16string> rows;  // of at most ten columns
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
      {"an accent takes no column",
       u"xe\u0301e\u0301e\u0301e\u0301e\u0301e\u0301",
       {u"xe\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"}},
      {"a joiner keeps what it joins", u"xxxxxxxxa\u200Dbcc", {u"xxxxxxxx", u"a\u200Dbcc"}},
      {"marks alone are cut all the same",
       u"e" + std::u16string(45, u'\u0301'),
       {u"e" + std::u16string(39, u'\u0301'), std::u16string(6, u'\u0301')}},
      {"ideographs take two columns",
       u"日本語の日本語の日本語の",
       {u"日本語の日", u"本語の日本", u"語の"}},
      {"ideographs then a blank",
       u"日本語 日本語の日本語の",
       {u"日本語 ", u"日本語の日", u"本語の"}},
  };
  // Here an accent keeps with its letter and takes no column, a joiner keeps
  // what it joins, and ideographs take two columns, as the toolkit's
  // character classes say.
  const CharacterClasses classes{[](char32_t previous, char32_t next) {
                                   return next == U'\u0301' || next == U'\u200D' ||
                                          previous == U'\u200D';
                                 },
                                 [](char32_t c) {
                                   return c == U'\u0301' ? 0 : c >= U'\u3000' ? 2 : 1;
                                 }};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DisplayRows rows(c.text, 10, classes);
    EXPECT_EQ(rows.Count(), c.rows.size());
    EXPECT_EQ(AllRows(rows), c.rows);
  }
}

// Characters as a screen reader counts them: code points of the display text.
std::size_t ShownChars(std::u16string_view text) {
  std::size_t chars = 0;
  for (const char byte : ToDisplayUtf8(text, DisplayTarget::kDialog)) {
    chars += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
  }
  return chars;
}

// A view finds any row, any position's row and any character again from the
// starts kept every so many rows, over every kind of line end and pairs.
TEST(DisplayRows, AnyRowPositionAndCharacterIsFoundAgain) {
  std::u16string text;
  const char16_t* ends[] = {u"\r\n", u"\r", u"\n", u"\U0001F600\r\n"};
  for (int i = 0; i < 150; ++i) text += u"line " + std::u16string(i % 25, u'x') + ends[i % 4];
  const DisplayRows rows(text, 12);
  const std::vector<std::u16string> all = AllRows(rows);
  ASSERT_GT(all.size(), 128u);  // several kept starts
  for (std::size_t i = 0; i < rows.Count(); ++i) {
    ASSERT_EQ(rows.RowAt(rows.Start(i)).text, all[i]) << "row " << i;
  }
  for (std::size_t at = 0, row = 0; at <= text.size(); ++at) {
    while (row + 1 < rows.Count() && rows.Start(row + 1) <= at) ++row;
    ASSERT_EQ(rows.IndexOf(at), row) << "position " << at;
    const bool starts_char =
        at == text.size() || !((IsLowSurrogate(text[at]) && IsHighSurrogate(text[at - 1])) ||
                               (text[at] == u'\n' && text[at - 1] == u'\r'));
    if (!starts_char) continue;
    const std::size_t chars = ShownChars(std::u16string_view(text).substr(0, at));
    ASSERT_EQ(rows.CharOffset(at), chars) << "position " << at;
    ASSERT_EQ(rows.UnitOffset(chars), at) << "character " << chars;
  }
  EXPECT_EQ(rows.CharCount(), ShownChars(text));  // counted as far as asked, so far: last
}

// The one choice of how a dialog shows a body, for a 20-pixel line and a
// 1280x1024 screen: 32 lines fit in 80 % of its height, 60 characters a line.
TEST(ChooseBodyLayout, LabelWhileItFitsScrolledViewOtherwise) {
  const FontMetrics font{20, 9};
  const ScreenArea screen{1280, 1024};
  auto lines = [](int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) text += u"line\r\n";
    return text.substr(0, text.size() - 2);
  };
  const std::u16string accented = [] {
    std::u16string text;
    for (int i = 0; i < 1800; ++i) text += u"e\u0301";  // 30 lines of letters, 60 of code units
    return text;
  }();
  const CharacterClasses accent{nullptr, [](char32_t c) { return c == U'\u0301' ? 0 : 1; }};
  struct Case {
    const char* what;
    std::u16string body;
    ScreenArea screen;
    BodyView view;
    bool break_words;
  };
  const Case cases[] = {
      {"short notice", u"Dobrý den", screen, BodyView::kLabel, false},
      {"31 lines and the header fill 80 %", lines(31), screen, BodyView::kLabel, false},
      {"one line more", lines(32), screen, BodyView::kScrolled, false},
      {"a long line counts as the lines it wraps to", std::u16string(31 * 60 + 1, u'x'), screen,
       BodyView::kScrolled, false},
      {"a word longer than a line is broken", std::u16string(61, u'x'), screen, BodyView::kLabel,
       true},
      {"accents take no room of their own", accented, screen, BodyView::kLabel, true},
      {"a label holds a bounded text whatever the screen",
       lines(4001),
       {1280, 1'000'000},
       BodyView::kScrolled,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const BodyLayout layout = ChooseBodyLayout(u"Zpráva: D", c.body, font, c.screen, accent);
    EXPECT_EQ(layout.view, c.view);
    EXPECT_EQ(layout.break_words, c.break_words);
  }
  const BodyLayout wide = ChooseBodyLayout(u"H", lines(100), font, screen);
  EXPECT_EQ(wide.row_columns, 80u);
  EXPECT_GE(wide.width, 80 * 9);
  EXPECT_EQ(wide.height, static_cast<int>(1024 * kScreenShare) - 160);
  // The dialog, icon and all, stays within 80 % of a narrow screen: its rows
  // are narrower, and it keeps a few lines' height.
  const BodyLayout small = ChooseBodyLayout(u"H", lines(100), font, {640, 200});
  EXPECT_LE(small.width + 100, static_cast<int>(640 * kScreenShare));
  EXPECT_LT(small.row_columns * 9, static_cast<std::size_t>(small.width));
  EXPECT_LT(small.row_columns, 45u);
  EXPECT_EQ(small.height, 120);
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
