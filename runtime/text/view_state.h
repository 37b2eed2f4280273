#pragma once

#include <cstddef>
#include <optional>

#include "text/caret.h"
#include "text/display_rows.h"

namespace zprava {

// What a view of a long text keeps besides the text: the selection with its
// caret, and how many rows its screen holds. It knows no toolkit: the view
// draws from it, tells it the screen's size, and scrolls where it says.
class ViewState {
 public:
  // What a change did, for the view to tell the screen reader and the
  // primary selection: the caret moved; the selection changed (a selection
  // made, changed or dropped, not a caret moving with nothing selected).
  struct Change {
    bool caret_moved = false;
    bool selection_changed = false;
    friend bool operator==(const Change&, const Change&) = default;
  };

  // `rows` and `rules` must outlive the state.
  ViewState(const DisplayRows& rows, const CaretRules& rules) : rows_(rows), rules_(rules) {}

  const Selection& Selected() const { return selection_; }

  Change Set(const Selection& selection);
  // The caret to the stop at or before `at`, keeping the selection's other
  // end when `extend`.
  Change MoveCaret(std::size_t at, bool extend);
  // From the stop at or before `from` to the one at or before `to`, the
  // caret at `to`.
  Change Select(std::size_t from, std::size_t to);
  // Where a key takes the caret, a page being the rows on screen.
  Change MoveByKey(CaretMove move, bool extend, const CaretRules::FindBreaks& breaks_around);

  std::size_t RowsInView() const { return rows_in_view_; }
  void SetRowsInView(std::size_t rows) { rows_in_view_ = rows > 0 ? rows : 1; }
  // The top row that brings the caret's row on screen from `top`, the
  // least move; nothing when it is on screen already.
  std::optional<std::size_t> TopToShowCaret(std::size_t top) const;

 private:
  const DisplayRows& rows_;
  const CaretRules& rules_;
  Selection selection_;
  std::size_t rows_in_view_ = 1;
};

}  // namespace zprava
