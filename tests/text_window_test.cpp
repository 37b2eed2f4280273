// Windows onto a long text, for views that cannot hold all of it at once.
#include "text/text_window.h"

#include <gtest/gtest.h>

#include <string>

#include "text/display_text.h"
#include "text/positions.h"
#include "text/unicode.h"

namespace zprava {
namespace {

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
      {"one word of pairs, at odd offsets",
       std::u16string(u"a").append(Repeated(u"\U0001F600", 50))},
      {"pair before CR LF", Repeated(u"abcdefg\U0001F600\r\n", 12)},
      {"long lines", Repeated(u"0123456789abcdefghijklmnopqrstuvwxyz\n", 5)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string_view text = c.text;
    auto check = [&](TextSpan w) {
      EXPECT_LT(w.begin, w.end);
      EXPECT_LE(w.end - w.begin, kUnits + kUnits / 8);
      EXPECT_FALSE(SplitsChar(text, w.begin)) << w.begin;
      EXPECT_FALSE(SplitsChar(text, w.end)) << w.end;
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
      {"no line end near: not inside CR LF",
       std::u16string(u"aaaaa\r\n").append(Repeated(u"x", 40)),
       6,
       {5, 21}},
      {"the last window reaches the end", Repeated(u"x", 40), 30, {24, 40}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TextSpan window = TextWindowFrom(c.text, c.from, 16);
    EXPECT_EQ(window.begin, c.window.begin);
    EXPECT_EQ(window.end, c.window.end);
  }
}

// In one long line of 64 units, windows of 16 start anywhere: a view moves
// on or back by half a window only where the place it keeps stays in view.
TEST(TextWindow, MovesOnlyWhereThePlaceKeptStaysInTheWindow) {
  const std::u16string text = Repeated(u"x", 64);
  const struct {
    const char* what;
    TextSpan window;
    WindowMove move;
    std::size_t kept;
    TextSpan after;
  } cases[] = {
      {"no move", {16, 32}, WindowMove::kNone, 20, {16, 32}},
      {"on by half", {16, 32}, WindowMove::kOn, 30, {24, 40}},
      {"on, kept at the new start", {16, 32}, WindowMove::kOn, 24, {24, 40}},
      {"on, kept before the new start: stays", {16, 32}, WindowMove::kOn, 23, {16, 32}},
      {"on at the text's end: stays", {48, 64}, WindowMove::kOn, 64, {48, 64}},
      {"back by half", {16, 32}, WindowMove::kBack, 17, {8, 24}},
      {"back, kept at the new end", {16, 32}, WindowMove::kBack, 24, {8, 24}},
      {"back, kept after the new end: stays", {16, 32}, WindowMove::kBack, 25, {16, 32}},
      {"back at the text's start: stays", {0, 16}, WindowMove::kBack, 0, {0, 16}},
      {"to the end, wherever the place kept", {16, 32}, WindowMove::kToEnd, 20, {48, 64}},
      {"to the start, wherever the place kept", {48, 64}, WindowMove::kToStart, 60, {0, 16}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TextSpan after = WindowAfterMove(text, c.window, c.move, c.kept, 16);
    EXPECT_EQ(after.begin, c.after.begin);
    EXPECT_EQ(after.end, c.after.end);
  }
}

TEST(TextWindow, DisplayOffsetsMatchTheDisplayText) {
  const std::u16string text = u"a\r\nb\rc\nd\U0001F600\x01";
  for (std::size_t at = 0; at <= text.size(); ++at) {
    if (SplitsChar(text, at)) continue;
    SCOPED_TRACE(at);
    const std::size_t display = ToDisplayUtf16(text.substr(0, at), DisplayTarget::kDialog).size();
    EXPECT_EQ(DisplayUnitOfUnit(text, at), display);
    EXPECT_EQ(UnitOfDisplayUnit(text, display), at);
  }
  EXPECT_EQ(UnitOfDisplayUnit(u"a\nb", 2), 1u);  // between the CR and LF shown for a lone LF
}

}  // namespace
}  // namespace zprava
