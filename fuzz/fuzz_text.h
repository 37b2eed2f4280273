// What the display-row targets share: text made from the fuzzer's bytes, a
// few made-up character classes, and the plain model of characters as shown.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "text/display_rows.h"

namespace fuzz_text {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

// Bytes read one at a time; past the end every read gives 0.
class ByteStream {
 public:
  ByteStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return at_ >= size_; }
  std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t NextUnit() { return static_cast<std::uint16_t>(Next() | Next() << 8); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Most bytes stand for one of the units that matter to cutting rows and
// counting characters; bytes from 0xF0 on take the next two as any unit.
inline std::u16string TextFrom(ByteStream& bytes) {
  static constexpr char16_t kAlphabet[16] = {
      u'a',   u'b',   u' ',   u'\t', u'\r', u'\n',  0xD83D, 0xDE00,  // high and low surrogate
      0x0301, 0x4E00, 0x200D, u'x',  u'.',  0xDBFF, 0x00E9, 0};      // mark, wide, joiner
  std::u16string text;
  while (!bytes.AtEnd()) {
    const std::uint8_t byte = bytes.Next();
    text.push_back(byte >= 0xF0 ? static_cast<char16_t>(bytes.NextUnit()) : kAlphabet[byte % 16]);
  }
  return text;
}

constexpr bool IsHigh(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool IsLow(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
constexpr bool IsMark(char32_t c) { return (c >= 0x300 && c <= 0x36F) || c == 0x200D; }

// A toolkit's classes in small: marks and the joiner keep together with what
// is before them and take no column, East Asian letters take two.
inline bool KeepsTogether(char32_t previous, char32_t next) {
  return IsMark(next) || previous == 0x200D;
}
inline int Columns(char32_t c) {
  if (IsMark(c)) return 0;
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                    (c >= 0xFF00 && c <= 0xFF60) || (c >= 0x1F300 && c <= 0x1FAFF) ||
                    (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}
inline constexpr zprava::CharacterClasses kClasses{KeepsTogether, Columns};

// The characters as shown, the plain way: where each starts, a CR LF and a
// surrogate pair being one character each; the text's end last.
inline std::vector<std::size_t> CharStarts(std::u16string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at < text.size();) {
    starts.push_back(at);
    const bool pair = IsHigh(text[at]) && at + 1 < text.size() && IsLow(text[at + 1]);
    const bool cr_lf = text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n';
    at += pair || cr_lf ? 2 : 1;
  }
  starts.push_back(text.size());
  return starts;
}

// The character that holds unit `at` (the count of characters at the end).
inline std::size_t CharacterOf(const std::vector<std::size_t>& starts, std::size_t at) {
  const auto after = std::upper_bound(starts.begin(), starts.end(), at);
  return static_cast<std::size_t>(after - starts.begin()) - 1;
}

// How many units the line end at `at` takes: CR LF 2, a lone CR or LF 1.
inline std::size_t LineEndAt(std::u16string_view text, std::size_t at) {
  if (at >= text.size() || (text[at] != u'\r' && text[at] != u'\n')) return 0;
  return text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n' ? 2 : 1;
}

// The code point that ends just before `at`, and the one at `at`.
inline char32_t CodePointBefore(std::u16string_view text, std::size_t at) {
  if (at >= 2 && IsLow(text[at - 1]) && IsHigh(text[at - 2])) {
    return 0x10000 + ((char32_t{text[at - 2]} - 0xD800) << 10) + (text[at - 1] - 0xDC00U);
  }
  return IsHigh(text[at - 1]) || IsLow(text[at - 1]) ? 0xFFFD : text[at - 1];
}
inline char32_t CodePointFrom(std::u16string_view text, std::size_t at) {
  if (IsHigh(text[at]) && at + 1 < text.size() && IsLow(text[at + 1])) {
    return 0x10000 + ((char32_t{text[at]} - 0xD800) << 10) + (text[at + 1] - 0xDC00U);
  }
  return IsHigh(text[at]) || IsLow(text[at]) ? 0xFFFD : text[at];
}

// The rows as RowAt gives them one after another from the start, up to the
// row that reaches the text's end without a line end.
inline std::vector<zprava::DisplayRows::Row> WalkRows(const zprava::DisplayRows& rows,
                                                      std::u16string_view text) {
  std::vector<zprava::DisplayRows::Row> walked;
  std::size_t start = 0;
  for (;;) {
    walked.push_back(rows.RowAt(start));
    const zprava::DisplayRows::Row& row = walked.back();
    Require(walked.size() <= text.size() + 1);
    if (row.next == text.size() && row.start + row.text.size() == row.next) return walked;
    Require(row.next > row.start);
    start = row.next;
  }
}

}  // namespace fuzz_text
