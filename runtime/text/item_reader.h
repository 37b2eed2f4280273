#pragma once

#include <cstddef>
#include <string_view>

#include "text/line_end.h"
#include "text/text.h"

namespace zprava {

// What ends an item, and what is trimmed around one, in any code unit type
// that keeps ASCII as it is.
template <typename Char>
constexpr bool IsItemDelimiter(Char c) {
  return c == Char(',') || IsLineEndUnit(c);
}
template <typename Char>
constexpr bool IsItemBlank(Char c) {
  return c == Char(' ') || c == Char('\t');
}

// Reads the data items of a notice, one after another, from decoded text.
// This is the item format, stated once:
// - An item ends at a comma, at a line end (CR LF, a lone CR or a lone LF)
//   or at the end of the text, and a read takes that delimiter with it.
// - Spaces and tabs in front of an item are skipped.
// - An item that opens with a double quote runs to the next double quote,
//   commas and line ends included; the quotes are not part of the item. Text
//   after the closing quote, up to the delimiter, is kept. A quote left open
//   takes the rest of the text.
// - The part that is not quoted loses its trailing spaces and tabs.
// - A comma followed by nothing but blanks up to a line end or the end of
//   the text takes them with it: "a,<line end>b" gives two items, not an
//   empty one between them.
// - Items stay text: "007" or "#TRUE#" is not turned into a value.
class ItemReader {
 public:
  explicit ItemReader(std::u16string_view text, std::size_t position = 0)
      : text_(text), position_(position) {}

  bool AtEnd() const { return position_ >= text_.size(); }
  std::size_t Position() const { return position_; }

  // The next item as the two pieces it is made of: the quoted part (empty
  // when the item opens with no quote) and the unquoted rest.
  struct Pieces {
    std::u16string_view quoted;
    std::u16string_view unquoted;
  };
  Pieces ReadPieces();

  // Where the next item starts when a delimiter stands at `at`.
  static std::size_t AfterDelimiter(std::u16string_view text, std::size_t at);

 private:
  std::u16string_view ReadQuotedPart();
  std::u16string_view ReadUnquotedPart();

  std::u16string_view text_;
  std::size_t position_;
};

}  // namespace zprava
