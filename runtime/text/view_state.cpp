#include "text/view_state.h"

namespace zprava {

ViewState::Change ViewState::Set(const Selection& selection) {
  const bool had_selection = !selection_.Empty();
  const bool caret_moved = selection.caret != selection_.caret;
  const bool ends_moved = selection.anchor != selection_.anchor || caret_moved;
  selection_ = selection;
  return {caret_moved, ends_moved && (had_selection || !selection_.Empty())};
}

ViewState::Change ViewState::MoveCaret(std::size_t at, bool extend) {
  at = rules_.StopAtOrBefore(at);
  return Set({extend ? selection_.anchor : at, at, std::nullopt});
}

ViewState::Change ViewState::Select(std::size_t from, std::size_t to) {
  return Set({rules_.StopAtOrBefore(from), rules_.StopAtOrBefore(to), std::nullopt});
}

ViewState::Change ViewState::MoveByKey(CaretMove move, bool extend,
                                       const CaretRules::FindBreaks& breaks_around) {
  return Set(rules_.Move(selection_, move, extend, rows_in_view_, breaks_around));
}

std::optional<std::size_t> ViewState::TopToShowCaret(std::size_t top) const {
  const std::size_t row = rows_.IndexOf(selection_.caret);
  if (row < top) return row;
  if (row >= top + rows_in_view_) return row + 1 - rows_in_view_;
  return std::nullopt;
}

}  // namespace zprava
