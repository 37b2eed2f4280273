#include "runtime/item_reader.h"

namespace zprava {
namespace {

constexpr char16_t kQuote = u'"';

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }
bool IsDelimiter(char16_t c) { return c == u',' || IsLineEnd(c); }

}  // namespace

void ItemReader::ReadItem(DataItem& item) {
  item.clear();
  AppendNextItem(item);
}

void ItemReader::AppendNextItem(std::u16string& text) {
  SkipBlanks();
  if (!AtEnd() && text_[position_] == kQuote) {
    const std::size_t start = position_ + 1;
    const std::size_t close = text_.find(kQuote, start);
    if (close == std::u16string_view::npos) {
      text.append(text_.substr(start));
      position_ = text_.size();
      return;
    }
    text.append(text_.substr(start, close - start));
    position_ = close + 1;
  }
  AppendUnquoted(text);
  ConsumeDelimiter();
}

void ItemReader::SkipBlanks() {
  while (!AtEnd() && IsBlank(text_[position_])) ++position_;
}

void ItemReader::AppendUnquoted(std::u16string& text) {
  std::size_t end = position_;
  while (end < text_.size() && !IsDelimiter(text_[end])) ++end;
  std::size_t kept_end = end;
  while (kept_end > position_ && IsBlank(text_[kept_end - 1])) --kept_end;
  text.append(text_.substr(position_, kept_end - position_));
  position_ = end;
}

void ItemReader::ConsumeDelimiter() {
  if (AtEnd()) return;
  if (text_[position_] != u',') {
    ConsumeLineEnd();
    return;
  }
  ++position_;
  std::size_t next = position_;
  while (next < text_.size() && IsBlank(text_[next])) ++next;
  if (next == text_.size()) {
    position_ = next;
  } else if (IsLineEnd(text_[next])) {
    position_ = next;
    ConsumeLineEnd();
  }
}

void ItemReader::ConsumeLineEnd() {
  if (text_[position_] == u'\r' && position_ + 1 < text_.size() && text_[position_ + 1] == u'\n') {
    position_ += 2;
  } else {
    ++position_;
  }
}

}  // namespace zprava
