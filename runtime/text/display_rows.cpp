#include "text/display_rows.h"

#include <algorithm>

#include "text/line_end.h"
#include "text/unicode.h"

namespace zprava {

DisplayRows::DisplayRows(std::u16string_view text, std::size_t row_units)
    : text_(text), row_units_(std::max<std::size_t>(row_units, 2)) {
  // The last row is the one that reaches the end of the text without a line
  // end: text ending in a line end has an empty row after it, as an editor shows.
  std::size_t start = 0;
  for (;;) {
    if (count_ % kRowsPerStart == 0) starts_.push_back(start);
    ++count_;
    const Row row = RowAt(start);
    if (row.next == text_.size() && row.text.data() + row.text.size() == text_.data() + row.next) {
      break;
    }
    start = row.next;
  }
}

std::size_t DisplayRows::Start(std::size_t index) const {
  std::size_t start = starts_[index / kRowsPerStart];
  for (std::size_t skip = index % kRowsPerStart; skip > 0; --skip) start = RowAt(start).next;
  return start;
}

DisplayRows::Row DisplayRows::RowAt(std::size_t start) const {
  const std::size_t limit = std::min(text_.size(), start + row_units_);
  for (std::size_t at = start; at < limit; ++at) {
    if (IsLineEndUnit(text_[at]))
      return {text_.substr(start, at - start), at + LineEndLength(text_, at)};
  }
  if (limit == text_.size()) return {text_.substr(start), limit};
  // A line end right after a full row belongs to that row, not to an empty one.
  if (const std::size_t line_end = LineEndLength(text_, limit)) {
    return {text_.substr(start, limit - start), limit + line_end};
  }
  std::size_t cut = limit;
  while (cut > start + row_units_ / 2 && text_[cut - 1] != u' ' && text_[cut - 1] != u'\t') --cut;
  if (cut == start + row_units_ / 2) cut = limit;
  if (IsLowSurrogate(text_[cut]) && IsHighSurrogate(text_[cut - 1])) --cut;
  return {text_.substr(start, cut - start), cut};
}

}  // namespace zprava
