// The caret: where it stops and where keys take it over rows of mixed text.
#include "text/caret.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace zprava {
namespace {

// An accent keeps with its letter and takes no column, ideographs take two,
// as the toolkit's character classes say.
const CharacterClasses kClasses{[](char32_t, char32_t next) { return next == U'\u0301'; },
                                [](char32_t c) {
                                  return c == U'\u0301' ? 0 : c >= U'\u3000' ? 2 : 1;
                                }};

// Words as a plain reference finds them in ASCII text: a word starts at a
// letter after a non-letter and ends at a non-letter after a letter.
TextBreaks PlainWords(std::u16string_view text, TextSpan span) {
  TextBreaks breaks{CharStarts(text, span), {}};
  auto letter = [&](std::size_t at) {
    return at < text.size() && ((text[at] >= u'a' && text[at] <= u'z') || text[at] > 0x7F);
  };
  for (std::size_t at : breaks.unit_of_char) {
    const bool before = at > 0 && letter(at - 1);
    breaks.edges.push_back(
        static_cast<std::uint8_t>((!before && letter(at) ? TextBreaks::kWordStart : 0) |
                                  (before && !letter(at) ? TextBreaks::kWordEnd : 0)));
  }
  return breaks;
}

Selection S(std::size_t anchor, std::size_t caret,
            std::optional<std::size_t> goal_column = std::nullopt) {
  return {anchor, caret, goal_column};
}

struct Fixture {
  explicit Fixture(std::u16string t)
      : text(std::move(t)), rows(text, 10, kClasses), rules(text, rows, kClasses) {}
  CaretRules::FindBreaks Words() const {
    return [this](std::size_t) { return PlainWords(text, {0, text.size()}); };
  }
  std::u16string text;
  DisplayRows rows;
  CaretRules rules;
};

TEST(CaretRules, StopsNeverSplitWhatIsShownAsOne) {
  struct Case {
    const char* what;
    std::u16string text;
    std::vector<std::size_t> stops;
  };
  const Case cases[] = {
      {"letters", u"abc", {0, 1, 2, 3}},
      {"an accent keeps with its letter", u"e\u0301\u0301x", {0, 3, 4}},
      {"a surrogate pair is one", u"a\U0001F600b", {0, 1, 3, 4}},
      {"CR LF is one, a lone CR or LF one each", u"a\r\n\rb\nc", {0, 1, 3, 4, 5, 6, 7}},
      {"ideographs", u"日本", {0, 1, 2}},
      {"a row cut inside a word is a stop",
       u"abcdefghijkl",
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Fixture f(c.text);
    std::vector<std::size_t> forward{0}, backward{c.text.size()};
    while (forward.back() < c.text.size()) forward.push_back(f.rules.NextStop(forward.back()));
    while (backward.front() > 0)
      backward.insert(backward.begin(), f.rules.PreviousStop(backward.front()));
    EXPECT_EQ(forward, c.stops);
    EXPECT_EQ(backward, c.stops);
    for (std::size_t at = 0; at <= c.text.size(); ++at) {
      const std::size_t stop = f.rules.StopAtOrBefore(at);
      EXPECT_LE(stop, at);
      EXPECT_EQ(std::count(c.stops.begin(), c.stops.end(), stop), 1) << "at " << at;
    }
  }
}

TEST(CaretRules, KeysMoveAsInATextView) {
  struct Case {
    const char* what;
    std::u16string text;  // in rows of ten columns
    Selection before;
    std::vector<CaretMove> moves;
    bool extend;
    Selection after;
  };
  using M = CaretMove;
  const Case cases[] = {
      {"Down keeps the column on screen, not the code unit",
       u"日本語日本\nabcdefghij",
       S(2, 2),
       {M::kRowDown},
       false,
       S(10, 10, 4)},
      {"Up and Down keep the column through a shorter row",
       u"abcdefgh\nab\nabcdefgh",
       S(6, 6),
       {M::kRowDown, M::kRowDown},
       false,
       S(18, 18, 6)},
      {"Up in the first row goes to the start", u"abc\ndef", S(2, 2), {M::kRowUp}, false, S(0, 0)},
      {"Down in the last row goes to the end", u"abc\ndef", S(5, 5), {M::kRowDown}, false, S(7, 7)},
      {"an accent is stepped over with its letter",
       u"ae\u0301b",
       S(1, 1),
       {M::kCharForward},
       false,
       S(3, 3)},
      {"CR LF is stepped over whole", u"a\r\nb", S(1, 1), {M::kCharForward}, false, S(3, 3)},
      {"Right drops a selection at its end", u"abcdef", S(1, 4), {M::kCharForward}, false, S(4, 4)},
      {"Left drops a selection at its start", u"abcdef", S(4, 1), {M::kCharBack}, false, S(1, 1)},
      {"Down drops a selection from its end",
       u"ab\ncd\nef",
       S(1, 4),
       {M::kRowDown},
       false,
       S(7, 7, 1)},
      {"Shift keeps the anchor",
       u"abcdef",
       S(1, 1),
       {M::kCharForward, M::kCharForward},
       true,
       S(1, 3)},
      {"End of a wrapped row stops before the next row's start",
       u"one two three",
       S(0, 0),
       {M::kRowEnd},
       false,
       S(7, 7)},
      {"Home goes to the row's start", u"one two three", S(10, 10), {M::kRowStart}, false, S(8, 8)},
      {"Ctrl+End and Ctrl+Home go to the ends", u"ab\ncd", S(1, 1), {M::kTextEnd}, true, S(1, 5)},
      {"a page is as many rows as the view shows",
       u"a\nb\nc\nd\ne",
       S(0, 0),
       {M::kPageDown},
       false,
       S(4, 4, 0)},
      {"Ctrl+Right goes to the end of the word after",
       u"one two  three",
       S(0, 0),
       {M::kWordForward, M::kWordForward},
       false,
       S(7, 7)},
      {"Ctrl+Left goes to the start of the word before",
       u"one two  three",
       S(12, 12),
       {M::kWordBack, M::kWordBack},
       false,
       S(4, 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Fixture f(c.text);
    Selection selection = c.before;
    for (CaretMove move : c.moves) {
      selection = f.rules.Move(selection, move, c.extend, 2, f.Words());
    }
    EXPECT_EQ(selection.anchor, c.after.anchor);
    EXPECT_EQ(selection.caret, c.after.caret);
    EXPECT_EQ(selection.goal_column, c.after.goal_column);
  }
}

TEST(CaretRules, ClicksSelectAWordOrALine) {
  const Fixture f(u"one two\r\nthree");
  const TextBreaks words = PlainWords(f.text, {0, f.text.size()});
  const std::uint8_t word_edges = TextBreaks::kWordStart | TextBreaks::kWordEnd;
  EXPECT_EQ(UnitAround(words, 1, word_edges), (TextSpan{0, 3}));
  EXPECT_EQ(UnitAround(words, 5, word_edges), (TextSpan{4, 7}));
  EXPECT_EQ(UnitAround(words, 3, word_edges), (TextSpan{3, 4}));
  EXPECT_EQ(f.rules.LineAround(2), (TextSpan{0, 9}));
  EXPECT_EQ(f.rules.LineAround(7), (TextSpan{0, 9}));
  EXPECT_EQ(f.rules.LineAround(12), (TextSpan{9, 14}));
}

}  // namespace
}  // namespace zprava
