// The long view's state without a toolkit: what each change of the selection
// tells the screen reader and the primary selection, and where scrolling
// keeps the caret on screen.
#include "text/view_state.h"

#include <gtest/gtest.h>

#include <string>

namespace zprava {
namespace {

// Ten rows of "rowN" (N a digit) and a line end, so that row r starts at 6r.
std::u16string TenRows() {
  std::u16string text;
  for (char16_t n = u'0'; n <= u'9'; ++n) text += std::u16string(u"row") + n + u"\r\n";
  return text;
}

TEST(ViewState, TellsWhatEachChangeDid) {
  const std::u16string text = TenRows();
  const DisplayRows rows(text, 20);
  const CaretRules rules(text, rows, {});
  using Change = ViewState::Change;
  struct Step {
    const char* what;
    Selection selection;
    Change change;
  };
  // In turn, each from the one before.
  const Step steps[] = {
      {"nothing changes", {0, 0, {}}, {false, false}},
      {"the caret moves with nothing selected", {6, 6, {}}, {true, false}},
      {"a selection is made", {6, 9, {}}, {true, true}},
      {"its anchor moves alone", {3, 9, {}}, {false, true}},
      {"it is dropped where the caret is", {9, 9, {}}, {false, true}},
      {"the caret moves again with nothing selected", {12, 12, {}}, {true, false}},
  };
  ViewState state(rows, rules);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    EXPECT_EQ(state.Set(step.selection), step.change);
  }
  // Inside a CR LF is no stop: a click there lands before it.
  EXPECT_EQ(state.MoveCaret(5, false), (Change{true, false}));
  EXPECT_EQ(state.Selected().caret, 4u);
  EXPECT_EQ(state.Select(13, 5), (Change{false, true}));  // the caret stays before the CR LF
  EXPECT_EQ(state.Selected().anchor, 13u);
  EXPECT_EQ(state.Selected().caret, 4u);
}

TEST(ViewState, ScrollsTheLeastThatShowsTheCaret) {
  const std::u16string text = TenRows();
  const DisplayRows rows(text, 20);
  const CaretRules rules(text, rows, {});
  ViewState state(rows, rules);
  state.SetRowsInView(3);
  struct Case {
    std::size_t caret_row;
    std::size_t top;
    std::optional<std::size_t> new_top;
  };
  const Case cases[] = {
      {4, 4, std::nullopt}, {6, 4, std::nullopt}, {7, 4, 5}, {9, 0, 7}, {3, 4, 3}, {0, 9, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "caret on row " << c.caret_row << ", top " << c.top);
    state.MoveCaret(6 * c.caret_row, false);
    EXPECT_EQ(state.TopToShowCaret(c.top), c.new_top);
  }
  // A page down moves by the rows on screen.
  state.MoveCaret(0, false);
  state.MoveByKey(CaretMove::kPageDown, false, nullptr);
  EXPECT_EQ(rows.IndexOf(state.Selected().caret), 3u);
}

}  // namespace
}  // namespace zprava
