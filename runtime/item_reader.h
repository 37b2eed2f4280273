#pragma once

#include <string_view>

#include "runtime/text.h"

namespace zprava {

// Reads data items, one after another, from decoded notice text.
//
// An item ends at a comma, at a line end (CR LF, a lone LF or a lone CR) or at
// the end of the text, and a read consumes that delimiter with it. Spaces and
// tabs in front of an item are skipped; an unquoted item loses its trailing
// blanks. An item that opens with a double quote runs to the next double quote,
// commas and line ends included; anything after the closing quote up to the
// delimiter is appended, and an unclosed quote takes the rest of the text. A
// comma followed only by blanks before a line end closes the line with it, so
// "a,<line end>b" gives two items, not an extra empty one. Items stay text.
class ItemReader {
 public:
  explicit ItemReader(std::u16string_view text) : text_(text) {}

  bool AtEnd() const { return position_ >= text_.size(); }

  // Replaces `item` with the next item, reusing its storage.
  void ReadItem(DataItem& item);

  // Appends the next item to `text`, so a long notice is joined in place
  // without a copy of each item.
  void AppendNextItem(std::u16string& text);

 private:
  void SkipBlanks();
  void AppendUnquoted(std::u16string& text);
  void ConsumeDelimiter();
  void ConsumeLineEnd();

  std::u16string_view text_;
  std::size_t position_ = 0;
};

}  // namespace zprava
