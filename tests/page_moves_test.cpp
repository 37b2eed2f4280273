// A notice read a page at a time: where each key leaves the page's top row.
#include "dialog/page_moves.h"

#include <gtest/gtest.h>

namespace zprava {
namespace {

TEST(TopAfterMove, KeepsEveryPageFullAndInsideTheText) {
  struct Case {
    const char* what;
    std::size_t top, rows, page;
    PageMove move;
    std::size_t new_top;
  };
  const Case cases[] = {
      {"a row down", 0, 100, 26, PageMove::kRowDown, 1},
      {"a row down at the last page stays", 74, 100, 26, PageMove::kRowDown, 74},
      {"a row up", 5, 100, 26, PageMove::kRowUp, 4},
      {"a row up at the start stays", 0, 100, 26, PageMove::kRowUp, 0},
      {"a page down", 0, 100, 26, PageMove::kPageDown, 26},
      {"a page down near the end stops at a full last page", 60, 100, 26, PageMove::kPageDown, 74},
      {"a page up", 52, 100, 26, PageMove::kPageUp, 26},
      {"a page up near the start stops at the start", 10, 100, 26, PageMove::kPageUp, 0},
      {"to the end", 3, 100, 26, PageMove::kToEnd, 74},
      {"to the end, the text exactly a page", 0, 26, 26, PageMove::kToEnd, 0},
      {"to the end, the text shorter than a page", 0, 3, 26, PageMove::kToEnd, 0},
      {"to the start", 50, 100, 26, PageMove::kToStart, 0},
      {"a screen grown taller pulls the top back", 74, 100, 40, PageMove::kNone, 60},
      {"text cut anew into fewer rows", 500, 100, 26, PageMove::kNone, 74},
      {"a page of no rows moves by one", 5, 100, 0, PageMove::kPageDown, 6},
      {"no rows at all", 0, 0, 26, PageMove::kPageDown, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(TopAfterMove(c.top, c.rows, c.page, c.move), c.new_top);
  }
}

TEST(PagePosition, CountsFromOneAndEndsAtTheLastRow) {
  struct Case {
    std::size_t top, rows, page;
    const char* shown;
  };
  const Case cases[] = {
      {0, 6000, 26, "1-26 / 6000"},
      {5974, 6000, 26, "5975-6000 / 6000"},
      {0, 3, 26, "1-3 / 3"},
      {0, 0, 26, "0-0 / 0"},
  };
  for (const Case& c : cases) EXPECT_EQ(PagePosition(c.top, c.rows, c.page), c.shown);
}

}  // namespace
}  // namespace zprava
