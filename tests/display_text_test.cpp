// Display text: what a dialog or a terminal is given for a notice, harmless whatever it holds.
#include "text/display_text.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace zprava
