#include "text/caret.h"

#include <algorithm>

#include "text/line_end.h"
#include "text/unicode.h"

namespace zprava {

TextSpan CharacterAt(std::u16string_view text, std::size_t at) {
  at = std::min(at, text.size());
  return {at, at + ShownCharLength(text, at)};
}

TextSpan RowFromItsStart(const DisplayRows& rows, std::size_t at) {
  const DisplayRows::Row row = rows.RowAt(rows.Start(rows.IndexOf(at)));
  return {row.start, row.next};
}

TextSpan RowToItsEnd(const DisplayRows& rows, std::size_t at) {
  const std::size_t index = rows.IndexOf(at);
  const DisplayRows::Row row = rows.RowAt(rows.Start(index));
  std::size_t from = 0;
  if (index > 0) {
    const DisplayRows::Row before = rows.RowAt(rows.Start(index - 1));
    from = before.start + before.text.size();
  }
  return {from, row.start + row.text.size()};
}

TextSpan BreakReach(const DisplayRows& rows, std::size_t text_size, std::size_t at) {
  constexpr std::size_t kReach = 4096;  // code units either side
  at = std::min(at, text_size);
  const std::size_t from = at > kReach ? rows.Start(rows.IndexOf(at - kReach)) : 0;
  return {from, std::min(text_size, at + kReach)};
}

std::vector<std::size_t> CharacterStarts(std::u16string_view text, TextSpan span) {
  std::vector<std::size_t> starts;
  std::size_t at = span.from;
  while (at < span.to) {
    starts.push_back(at);
    at += ShownCharLength(text, at);
  }
  starts.push_back(at);
  return starts;
}

std::size_t NextEdge(const TextBreaks& breaks, std::size_t at, std::uint8_t edge) {
  for (std::size_t i = 0; i < breaks.edges.size(); ++i) {
    if (breaks.unit_of_char[i] > at && (breaks.edges[i] & edge) != 0) {
      return breaks.unit_of_char[i];
    }
  }
  return breaks.unit_of_char.back();
}

std::size_t PreviousEdge(const TextBreaks& breaks, std::size_t at, std::uint8_t edge) {
  for (std::size_t i = breaks.edges.size(); i-- > 0;) {
    if (breaks.unit_of_char[i] < at && (breaks.edges[i] & edge) != 0) {
      return breaks.unit_of_char[i];
    }
  }
  return breaks.unit_of_char.front();
}

TextSpan UnitAround(const TextBreaks& breaks, std::size_t at, std::uint8_t edge) {
  const std::vector<std::size_t>& units = breaks.unit_of_char;
  auto is_edge = [&](std::size_t i) { return (breaks.edges[i] & edge) != 0; };
  const auto here =
      static_cast<std::size_t>(std::upper_bound(units.begin(), units.end(), at) - units.begin());
  std::size_t first = std::min(here == 0 ? 0 : here - 1, units.size() - 1);
  while (first > 0 && !is_edge(first)) --first;
  std::size_t last = first + 1;
  while (last + 1 < units.size() && !is_edge(last)) ++last;
  const std::size_t from = units[first];
  return {from, std::max(from, units[std::min(last, units.size() - 1)])};
}

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
    columns +=
        classes_.columns != nullptr ? static_cast<std::size_t>(classes_.columns(c.value)) : 1;
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
      width +=
          classes_.columns != nullptr ? static_cast<std::size_t>(classes_.columns(c.value)) : 1;
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
