#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "text/display_rows.h"
#include "text/positions.h"
#include "text/text_breaks.h"

namespace zprava {

// How a key moves the caret, as in any text view.
enum class CaretMove {
  kCharBack,
  kCharForward,
  kWordBack,     // to the start of the word before
  kWordForward,  // to the end of the word after
  kRowUp,
  kRowDown,
  kPageUp,
  kPageDown,
  kRowStart,
  kRowEnd,
  kTextStart,
  kTextEnd,
};

struct Selection {
  std::size_t anchor = 0;
  std::size_t caret = 0;
  // The column moves up and down keep to, through rows too short for it.
  std::optional<std::size_t> goal_column;

  std::size_t Start() const { return anchor < caret ? anchor : caret; }
  std::size_t End() const { return anchor < caret ? caret : anchor; }
  bool Empty() const { return anchor == caret; }
};

// Where a caret stops and where keys take it in a text cut into rows. It
// never stops inside a surrogate pair, a CR LF or between a character and
// the marks drawn with it.
class CaretRules {
 public:
  // Breaks around a position, found by the toolkit.
  using FindBreaks = std::function<TextBreaks(std::size_t at)>;

  // `text` and `rows` must outlive the rules.
  CaretRules(std::u16string_view text, const DisplayRows& rows, CharacterClasses classes);

  std::size_t NextStop(std::size_t at) const;
  std::size_t PreviousStop(std::size_t at) const;
  // The stop at or before `at`, for positions from outside (a screen
  // reader's, a click's).
  std::size_t StopAtOrBefore(std::size_t at) const;
  // The last stop in a row. A row that wraps on into the next ends where
  // that one starts, and that position belongs to the next row.
  std::size_t RowEndStop(const DisplayRows::Row& row) const;
  // Columns on screen from the start of `at`'s row to `at`.
  std::size_t ColumnOf(std::size_t at) const;
  // The last stop in row `index` at or before `column`.
  std::size_t StopAtColumn(std::size_t index, std::size_t column) const;

  // The selection after a key's move; `extend` keeps its anchor (Shift).
  // A page is `page_rows` rows. A move that drops a selection starts from
  // its edge in the move's direction, and a step by a character goes just
  // to that edge.
  Selection Move(const Selection& selection, CaretMove move, bool extend, std::size_t page_rows,
                 const FindBreaks& breaks_around) const;

  // The line that holds `at` with its line end, as a triple click selects it.
  TextSpan LineAround(std::size_t at) const;

 private:
  std::size_t Moved(std::size_t from, CaretMove move, std::size_t page_rows,
                    std::optional<std::size_t>& goal_column, const FindBreaks& breaks_around) const;

  std::u16string_view text_;
  const DisplayRows& rows_;
  CharacterClasses classes_;
};

}  // namespace zprava
