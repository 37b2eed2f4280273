#include "text/caret.h"

#include <algorithm>

#include "text/line_end.h"
#include "text/unicode.h"

namespace zprava {

CaretRules::CaretRules(std::u16string_view text, const DisplayRows& rows, CharacterClasses classes)
    : text_(text), rows_(rows), classes_(classes) {}

std::size_t CaretRules::NextStop(std::size_t at) const {
  if (at >= text_.size()) return text_.size();
  if (const std::size_t line_end = LineEndLength(text_, at)) return at + line_end;
  // A cluster longer than this (marks piled up without end) is stepped
  // through in parts, as rows cut it: a key press stays cheap.
  constexpr std::size_t kLongestCluster = 32;
  const std::size_t most = std::min(text_.size(), at + kLongestCluster);
  char32_t previous = CodePointAt(text_, at).value;
  at += CodePointAt(text_, at).length;
  while (classes_.keeps_together != nullptr && at < most && !IsLineEndUnit(text_[at])) {
    const CodePoint next = CodePointAt(text_, at);
    if (!classes_.keeps_together(previous, next.value)) break;
    previous = next.value;
    at += next.length;
  }
  return at;
}

std::size_t CaretRules::PreviousStop(std::size_t at) const {
  at = std::min(at, text_.size());
  if (at == 0) return 0;
  // Back to the row's start at most, then forward from there by stops: rows
  // are short, and start at a stop unless a cluster was too long for one.
  std::size_t stop = rows_.Start(rows_.IndexOf(at - 1));
  for (std::size_t next = NextStop(stop); next < at; next = NextStop(next)) stop = next;
  return stop;
}

std::size_t CaretRules::StopAtOrBefore(std::size_t at) const {
  at = std::min(at, text_.size());
  const std::size_t before = PreviousStop(at);
  return at == 0 || NextStop(before) == at ? at : before;
}

std::size_t CaretRules::RowEndStop(const DisplayRows::Row& row) const {
  const std::size_t end = row.start + row.text.size();
  const bool wraps_on = row.next == end && end < text_.size();
  return wraps_on ? std::max(row.start, PreviousStop(end)) : end;
}

std::size_t CaretRules::ColumnOf(std::size_t at) const {
  at = std::min(at, text_.size());
  std::size_t columns = 0;
  for (std::size_t unit = rows_.Start(rows_.IndexOf(at)); unit < at;) {
    const CodePoint c = CodePointAt(text_, unit);
    columns += classes_.ColumnsOf(c.value);
    unit += c.length;
  }
  return columns;
}

std::size_t CaretRules::StopAtColumn(std::size_t index, std::size_t column) const {
  const DisplayRows::Row row = rows_.RowAt(rows_.Start(index));
  const std::size_t end = RowEndStop(row);
  std::size_t stop = row.start;
  std::size_t columns = 0;
  while (stop < end) {
    const std::size_t next = NextStop(stop);
    std::size_t width = 0;
    for (std::size_t unit = stop; unit < next;) {
      const CodePoint c = CodePointAt(text_, unit);
      width += classes_.ColumnsOf(c.value);
      unit += c.length;
    }
    if (columns + width > column) break;
    columns += width;
    stop = next;
  }
  return std::min(stop, end);
}

Selection CaretRules::Move(const Selection& selection, CaretMove move, bool extend,
                           std::size_t page_rows, const FindBreaks& breaks_around) const {
  const bool forward = move == CaretMove::kCharForward || move == CaretMove::kWordForward ||
                       move == CaretMove::kRowDown || move == CaretMove::kPageDown ||
                       move == CaretMove::kRowEnd || move == CaretMove::kTextEnd;
  const bool vertical = move == CaretMove::kRowUp || move == CaretMove::kRowDown ||
                        move == CaretMove::kPageUp || move == CaretMove::kPageDown;
  const bool drops_selection = !extend && !selection.Empty();
  const std::size_t from = !drops_selection ? selection.caret
                           : forward        ? selection.End()
                                            : selection.Start();
  std::optional<std::size_t> goal = vertical ? selection.goal_column : std::nullopt;
  const bool to_edge =
      drops_selection && (move == CaretMove::kCharBack || move == CaretMove::kCharForward);
  const std::size_t to = to_edge ? from : Moved(from, move, page_rows, goal, breaks_around);
  return {extend ? selection.anchor : to, to, vertical ? goal : std::nullopt};
}

std::size_t CaretRules::Moved(std::size_t from, CaretMove move, std::size_t page_rows,
                              std::optional<std::size_t>& goal_column,
                              const FindBreaks& breaks_around) const {
  const std::size_t row = rows_.IndexOf(from);
  const std::size_t last = rows_.Count() - 1;
  auto in_row = [&](std::size_t index) {
    if (!goal_column) goal_column = ColumnOf(from);
    return StopAtColumn(index, *goal_column);
  };
  switch (move) {
    case CaretMove::kCharBack:
      return PreviousStop(from);
    case CaretMove::kCharForward:
      return NextStop(from);
    case CaretMove::kWordBack:
      return PreviousEdge(breaks_around(from), from, TextBreaks::kWordStart);
    case CaretMove::kWordForward:
      return NextEdge(breaks_around(from), from, TextBreaks::kWordEnd);
    case CaretMove::kRowUp:
      return row == 0 ? 0 : in_row(row - 1);
    case CaretMove::kRowDown:
      return row == last ? text_.size() : in_row(row + 1);
    case CaretMove::kPageUp:
      return in_row(row - std::min(row, page_rows));
    case CaretMove::kPageDown:
      return in_row(std::min(last, row + page_rows));
    case CaretMove::kRowStart:
      return rows_.Start(row);
    case CaretMove::kRowEnd:
      return RowEndStop(rows_.RowAt(rows_.Start(row)));
    case CaretMove::kTextStart:
      return 0;
    case CaretMove::kTextEnd:
      return text_.size();
  }
  return from;
}

TextSpan CaretRules::LineAround(std::size_t at) const {
  at = std::min(at, text_.size());
  std::size_t from = at;
  while (from > 0 && !IsLineEndUnit(text_[from - 1])) --from;
  std::size_t to = at;
  while (to < text_.size() && !IsLineEndUnit(text_[to])) ++to;
  return {from, to + LineEndLength(text_, to)};
}

}  // namespace zprava
