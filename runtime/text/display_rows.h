#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace zprava {

// What the toolkit knows of characters, for cutting text into rows. Without
// it (nullptr), every character takes one column and only surrogate pairs
// and line ends are kept whole.
struct CharacterClasses {
  // Whether `next` is drawn as part of the character before it: a combining
  // mark with its letter, say.
  bool (*keeps_together)(char32_t previous, char32_t next) = nullptr;
  // Columns a character takes: 0 when drawn with the one before, 2 when wide
  // (East Asian scripts), otherwise 1.
  int (*columns)(char32_t c) = nullptr;

  // The columns `c` takes, 1 where nothing is known of characters.
  std::size_t ColumnsOf(char32_t c) const {
    return columns == nullptr ? 1 : static_cast<std::size_t>(columns(c));
  }
};

// A long text cut into display rows of at most `row_columns` columns: one
// per line (lines end at CR LF, a lone CR or a lone LF), a line longer than a
// row cut after its last blank within the row, or inside a word when it has
// none, never inside a surrogate pair or between characters that keep
// together. A row holds at most four times its columns in code units, so
// that no row is long to lay out however marks pile up. A view shows only
// the rows on screen and so holds nothing per row: rows are found again from
// a start kept every so many rows.
//
// Positions are units of the text; screen readers count chars instead
// (text/positions.h), and CharOfUnit and UnitOfChar translate.
class DisplayRows {
 public:
  struct Row {
    std::u16string_view text;  // without its line end
    std::size_t start;
    std::size_t next;  // where the row after it starts
  };

  // `text` must outlive the rows.
  DisplayRows(std::u16string_view text, std::size_t row_columns, CharacterClasses classes = {});

  std::size_t Count() const { return count_; }

  // Where row `index` (below Count()) starts, for RowAt.
  std::size_t Start(std::size_t index) const;

  // The row starting at `start`, which Start or an earlier row's `next` gave.
  Row RowAt(std::size_t start) const;

  // The index of the row that holds position `at` (the end of the text is in
  // the last row, a line end in the row it ends).
  std::size_t IndexOf(std::size_t at) const;

  // The text's chars, and the translation between chars and units. A unit
  // inside a char counts as the char's start. Counted as far as first asked
  // for, so that only a view a screen reader reads pays for it, and only for
  // as far as it reads.
  std::size_t CharCount() const;
  std::size_t CharOfUnit(std::size_t unit) const;
  std::size_t UnitOfChar(std::size_t char_index) const;

 private:
  static constexpr std::size_t kRowsPerStart = 64;
  struct Mark {
    std::size_t start;  // of every kRowsPerStart-th row
    std::size_t chars;  // characters before it, once counted
  };

  const Mark& MarkAtOrBefore(std::size_t at) const;
  std::size_t CharsBefore(std::size_t mark) const;
  std::size_t ColumnLimit(std::size_t start) const;
  std::size_t CutInsideWord(std::size_t start, std::size_t limit) const;

  std::u16string_view text_;
  std::size_t row_columns_;
  CharacterClasses classes_;
  std::size_t count_ = 0;
  mutable std::vector<Mark> marks_;
  mutable std::size_t counted_marks_ = 0;  // marks whose `chars` are counted
  mutable std::size_t chars_counted_ = 0;  // up to the end of the last counted mark's rows
};

}  // namespace zprava
