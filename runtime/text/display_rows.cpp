#include "text/display_rows.h"

#include <algorithm>

#include "text/line_end.h"
#include "text/positions.h"
#include "text/unicode.h"

namespace zprava {

DisplayRows::DisplayRows(std::u16string_view text, std::size_t row_columns,
                         CharacterClasses classes)
    : text_(text), row_columns_(std::max<std::size_t>(row_columns, 2)), classes_(classes) {
  // The last row is the one that reaches the end of the text without a line
  // end: text ending in a line end has an empty row after it, as an editor shows.
  std::size_t start = 0;
  for (;;) {
    if (count_ % kRowsPerStart == 0) marks_.push_back({start, 0});
    ++count_;
    const Row row = RowAt(start);
    if (row.next == text_.size() && row.text.data() + row.text.size() == text_.data() + row.next) {
      break;
    }
    start = row.next;
  }
}

std::size_t DisplayRows::Start(std::size_t index) const {
  std::size_t start = marks_[index / kRowsPerStart].start;
  for (std::size_t skip = index % kRowsPerStart; skip > 0; --skip) start = RowAt(start).next;
  return start;
}

DisplayRows::Row DisplayRows::RowAt(std::size_t start) const {
  // Most text takes a column a code unit: the row's width in units is found
  // in the same pass that looks for its line end. A tab is left to the
  // character classes, as a terminal takes it on to a tab stop; one test
  // finds it and the line ends, all rare, below CR.
  constexpr char16_t kFirstCombiningMark = 0x300;
  std::size_t limit = std::min(text_.size(), start + row_columns_);
  bool one_column_each = true;
  for (std::size_t at = start; at < limit; ++at) {
    const char16_t unit = text_[at];
    if (unit <= u'\r') {
      if (IsLineEndUnit(unit)) {
        if (one_column_each || classes_.columns == nullptr) {
          return {text_.substr(start, at - start), start, at + LineEndLength(text_, at)};
        }
        // Fewer units than columns may still be more columns: measured below.
        break;
      }
      one_column_each = false;
    }
    one_column_each &= unit < kFirstCombiningMark;
  }
  if (!one_column_each && classes_.columns != nullptr) limit = ColumnLimit(start);
  if (limit == text_.size()) return {text_.substr(start), start, limit};
  // A line end right after a full row belongs to that row, not to an empty one.
  if (const std::size_t line_end = LineEndLength(text_, limit)) {
    return {text_.substr(start, limit - start), start, limit + line_end};
  }
  const std::size_t half = start + (limit - start) / 2;
  std::size_t cut = limit;
  while (cut > half && text_[cut - 1] != u' ' && text_[cut - 1] != u'\t') --cut;
  if (cut == half) cut = CutInsideWord(start, limit);
  return {text_.substr(start, cut - start), start, cut};
}

// Where the row from `start` fills its columns, or reaches a line end.
std::size_t DisplayRows::ColumnLimit(std::size_t start) const {
  const std::size_t most = std::min(text_.size(), start + 4 * row_columns_);
  std::size_t columns = 0;
  std::size_t at = start;
  while (at < most && !IsLineEndUnit(text_[at])) {
    const CodePoint c = CodePointAt(text_, at);
    columns += classes_.ColumnsOf(c.value);
    if (columns > row_columns_) break;
    at += c.length;
  }
  return std::max(at, start + 1);
}

// As late as possible, but never inside a surrogate pair or a cluster. A
// row that is one cluster from end to end (marks piled on one letter) is
// cut at its limit all the same: rows stay bounded whatever the text.
std::size_t DisplayRows::CutInsideWord(std::size_t start, std::size_t limit) const {
  auto keeps_together = [&](std::size_t at) {
    if (IsLowSurrogate(text_[at]) && IsHighSurrogate(text_[at - 1])) return true;
    if (classes_.keeps_together == nullptr) return false;
    std::size_t before = at - 1;
    if (before > start && IsLowSurrogate(text_[before]) && IsHighSurrogate(text_[before - 1])) {
      --before;
    }
    return classes_.keeps_together(CodePointAt(text_, before).value, CodePointAt(text_, at).value);
  };
  for (std::size_t cut = limit; cut > start + 1; --cut) {
    if (!keeps_together(cut)) return cut;
  }
  return IsLowSurrogate(text_[limit]) && IsHighSurrogate(text_[limit - 1]) ? limit - 1 : limit;
}

// Counts characters from the kept starts on as far as `mark` and returns
// the characters before it; the last one counted ends at the text's end.
std::size_t DisplayRows::CharsBefore(std::size_t mark) const {
  for (; counted_marks_ <= mark && counted_marks_ < marks_.size(); ++counted_marks_) {
    const std::size_t from = marks_[counted_marks_].start;
    const std::size_t to =
        counted_marks_ + 1 < marks_.size() ? marks_[counted_marks_ + 1].start : text_.size();
    marks_[counted_marks_].chars = chars_counted_;
    chars_counted_ += CountChars(text_.substr(from, to - from));
  }
  return mark < marks_.size() ? marks_[mark].chars : chars_counted_;
}

std::size_t DisplayRows::CharCount() const { return CharsBefore(marks_.size()); }

const DisplayRows::Mark& DisplayRows::MarkAtOrBefore(std::size_t at) const {
  const auto after =
      std::upper_bound(marks_.begin(), marks_.end(), at,
                       [](std::size_t value, const Mark& m) { return value < m.start; });
  return *(after - 1);
}

std::size_t DisplayRows::IndexOf(std::size_t at) const {
  const Mark& mark = MarkAtOrBefore(at);
  std::size_t index = static_cast<std::size_t>(&mark - marks_.data()) * kRowsPerStart;
  for (Row row = RowAt(mark.start); at >= row.next && index + 1 < count_; row = RowAt(row.next)) {
    ++index;
  }
  return index;
}

std::size_t DisplayRows::CharOfUnit(std::size_t unit) const {
  const std::size_t at = std::min(unit, text_.size());
  const Mark& mark = MarkAtOrBefore(at);
  const std::size_t before = CharsBefore(static_cast<std::size_t>(&mark - marks_.data()));
  // Up to and with the unit at `at`, so that a position inside a pair or a
  // CR LF counts as the character's start.
  const std::size_t end = std::min(at + 1, text_.size());
  return before + CountChars(text_.substr(mark.start, end - mark.start)) - (end > at ? 1 : 0);
}

std::size_t DisplayRows::UnitOfChar(std::size_t char_index) const {
  // The last kept start at or before the char, counting only as far as needed.
  std::size_t mark = 0;
  while (mark + 1 < marks_.size() && CharsBefore(mark + 1) <= char_index) ++mark;
  if (char_index >= CharsBefore(mark + 1) && mark + 1 >= marks_.size()) return text_.size();
  std::size_t at = marks_[mark].start;
  for (std::size_t chars = marks_[mark].chars; chars < char_index; ++chars) {
    at += CharLength(text_, at);
  }
  return at;
}

}  // namespace zprava
