// Rows: a notice cut to a view's width, found again by row, position or character.
#include "text/display_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "all_rows.h"
#include "text/display_text.h"
#include "text/positions.h"
#include "text/unicode.h"

namespace zprava {
namespace {

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
      {"a line shorter in units than a row is still cut by its columns",
       u"日本語の日本語\r\nx",
       {u"日本語の日", u"本語", u"x"}},
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
    if (SplitsChar(text, at)) continue;
    const std::size_t chars = ShownChars(std::u16string_view(text).substr(0, at));
    ASSERT_EQ(rows.CharOfUnit(at), chars) << "position " << at;
    ASSERT_EQ(rows.UnitOfChar(chars), at) << "character " << chars;
  }
  EXPECT_EQ(rows.CharCount(), ShownChars(text));  // counted as far as asked, so far: last
}

}  // namespace
}  // namespace zprava
