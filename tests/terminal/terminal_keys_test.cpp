// Keys read from a terminal while a long dialog is paged, and the columns
// its rows are cut to.
#include "terminal/terminal_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "all_rows.h"
#include "regional_settings.h"
#include "terminal/terminal_character_classes.h"
#include "text/display_rows.h"

namespace zprava {
namespace {

TEST(DecodeKey, TellsKeysFromSequencesAndWaitsForTheirEnds) {
  // As a terminal in keypad mode describes its keys.
  const std::vector<KeySequence> keys = PagerKeys(std::vector<KeySequence>{
      {"\x1BOB", PageMove::kRowDown},
      {"\x1BOA", PageMove::kRowUp},
      {"\x1B[6~", PageMove::kPageDown},
      {"\x1B[5~", PageMove::kPageUp},
      {"\x1B[1~", PageMove::kToStart},
      {"", PageMove::kToEnd},  // not described
  });
  struct Case {
    const char* what;
    std::string pending;
    bool more_may_come;
    PagerKey key;
    PageMove move;
    std::size_t used;
  };
  const Case cases[] = {
      {"Enter", "\r", true, PagerKey::kClose, PageMove::kNone, 1},
      {"Enter as a line feed", "\n", true, PagerKey::kClose, PageMove::kNone, 1},
      {"q", "qx", true, PagerKey::kClose, PageMove::kNone, 1},
      {"Space", " ", true, PagerKey::kMove, PageMove::kPageDown, 1},
      {"the terminal's Down", "\x1BOB", true, PagerKey::kMove, PageMove::kRowDown, 3},
      {"the terminal's Page Down, then more", "\x1B[6~\x1B[6~", true, PagerKey::kMove,
       PageMove::kPageDown, 4},
      {"Down outside keypad mode", "\x1B[B", true, PagerKey::kMove, PageMove::kRowDown, 3},
      {"End not described, as terminals send it", "\x1B[F", true, PagerKey::kMove, PageMove::kToEnd,
       3},
      {"End the other way", "\x1B[4~", true, PagerKey::kMove, PageMove::kToEnd, 4},
      {"half a sequence waits", "\x1B[6", true, PagerKey::kNone, PageMove::kNone, 0},
      {"an Escape may start a sequence", "\x1B", true, PagerKey::kNone, PageMove::kNone, 0},
      {"an Escape alone is Escape", "\x1B", false, PagerKey::kClose, PageMove::kNone, 1},
      {"an unknown sequence is taken whole", "\x1B[1;5Bq", true, PagerKey::kNone, PageMove::kNone,
       6},
      {"half an unknown sequence left alone is dropped", "\x1B[1;", false, PagerKey::kNone,
       PageMove::kNone, 4},
      {"Alt and a letter", "\x1Bx", true, PagerKey::kNone, PageMove::kNone, 2},
      {"any other byte", "x", true, PagerKey::kNone, PageMove::kNone, 1},
      {"a byte of a letter in UTF-8", "\xC3\xA1", true, PagerKey::kNone, PageMove::kNone, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DecodedKey key = DecodeKey(c.pending, keys, c.more_may_come);
    EXPECT_EQ(key.key, c.key);
    EXPECT_EQ(key.move, c.move);
    EXPECT_EQ(key.used, c.used);
  }
}

std::vector<std::u16string> RowsOf(std::u16string_view text, std::size_t columns) {
  return AllRows(DisplayRows(text, columns, TerminalCharacterClasses()));
}

// A row must never be wider than the terminal, or the terminal wraps it
// onto the next and the page slides. The C library's widths are those of
// UTF-8, whatever character set the regional settings name.
TEST(TerminalCharacterClasses, RowsFitTheTerminalAsItShowsThem) {
  struct Case {
    const char* what;
    std::u16string text;
    std::vector<std::u16string> rows;  // of at most ten columns
  };
  const Case cases[] = {
      {"ideographs take two columns", u"日本語の日本語の", {u"日本語の日", u"本語の"}},
      {"an accent takes none and keeps with its letter",
       u"xxxxxxxxxe\u0301e\u0301xxxxxxxxx",
       {u"xxxxxxxxx", u"e\u0301e\u0301xxxxxxxx", u"x"}},
      {"a tab counts to a tab stop at its widest", u"a\tb\tcdefgh", {u"a\t", u"b\t", u"cdefgh"}},
      {"even in a line of fewer units than columns", u"a\tb\tc\r\nx", {u"a\t", u"b\tc", u"x"}},
      {"a control character is shown as one column",
       u"\x1B\x1B\x1B\x1B\x1B\x1B\x1B\x1B\x1B\x1Bx",
       {u"\x1B\x1B\x1B\x1B\x1B\x1B\x1B\x1B\x1B\x1B", u"x"}},
      {"so is a bidirectional override",
       u"\u202E\u202E\u202E\u202E\u202E\u202E\u202E\u202E\u202E\u202Ex",
       {u"\u202E\u202E\u202E\u202E\u202E\u202E\u202E\u202E\u202E\u202E", u"x"}},
  };
  for (const char* settings : {"C.UTF-8", "C"}) {
    const ScopedRegionalSettings regional(settings);
    if (!regional.available()) continue;
    SCOPED_TRACE(settings);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      EXPECT_EQ(RowsOf(c.text, 10), c.rows);
    }
  }
}

}  // namespace
}  // namespace zprava
