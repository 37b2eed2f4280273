#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace zprava {

// A long text cut into display rows: one per line (lines end at CR LF, a
// lone CR or a lone LF), a line longer than a row cut after its last blank
// within the row, or inside a word when it has none, never inside a
// surrogate pair. A view shows only the rows on screen and so holds nothing
// per row: rows are found again from a start kept every so many rows.
class DisplayRows {
 public:
  struct Row {
    std::u16string_view text;  // without its line end
    std::size_t next;          // where the row after it starts
  };

  // `text` must outlive the rows.
  DisplayRows(std::u16string_view text, std::size_t row_units);

  std::size_t Count() const { return count_; }

  // Where row `index` (below Count()) starts, for RowAt.
  std::size_t Start(std::size_t index) const;

  // The row starting at `start`, which Start or an earlier row's `next` gave.
  Row RowAt(std::size_t start) const;

 private:
  static constexpr std::size_t kRowsPerStart = 64;

  std::u16string_view text_;
  std::size_t row_units_;
  std::size_t count_ = 0;
  std::vector<std::size_t> starts_;  // of every kRowsPerStart-th row
};

}  // namespace zprava
