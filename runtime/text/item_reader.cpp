#include "text/item_reader.h"

#include <algorithm>

namespace zprava {

ItemReader::Pieces ItemReader::ReadPieces() {
  while (!AtEnd() && IsItemBlank(text_[position_])) ++position_;
  Pieces pieces;
  pieces.quoted = ReadQuotedPart();
  pieces.unquoted = ReadUnquotedPart();
  if (!AtEnd()) position_ = AfterDelimiter(text_, position_);
  return pieces;
}

std::u16string_view ItemReader::ReadQuotedPart() {
  if (AtEnd() || text_[position_] != u'"') return {};
  const std::size_t start = position_ + 1;
  const std::size_t close = std::min(text_.find(u'"', start), text_.size());
  position_ = std::min(close + 1, text_.size());
  return text_.substr(start, close - start);
}

std::u16string_view ItemReader::ReadUnquotedPart() {
  const std::size_t start = position_;
  while (!AtEnd() && !IsItemDelimiter(text_[position_])) ++position_;
  std::size_t end = position_;
  while (end > start && IsItemBlank(text_[end - 1])) --end;
  return text_.substr(start, end - start);
}

std::size_t ItemReader::AfterDelimiter(std::u16string_view text, std::size_t at) {
  if (text[at] != u',') return at + LineEndLength(text, at);
  std::size_t next = at + 1;
  while (next < text.size() && IsItemBlank(text[next])) ++next;
  if (next == text.size()) return next;
  if (IsLineEndUnit(text[next])) return next + LineEndLength(text, next);
  return at + 1;
}

}  // namespace zprava
