#pragma once

#include <string_view>
#include <type_traits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/text.h"

namespace zprava {

// Reads data items, one after another, from notice text in any encoding whose
// code units keep ASCII as it is (UTF-8, 8-bit code pages, UTF-16).
//
// An item ends at a comma, at a line end (CR LF, a lone LF or a lone CR) or at
// the end of the text, and a read consumes that delimiter with it. Spaces and
// tabs in front of an item are skipped; an unquoted item loses its trailing
// blanks. An item that opens with a double quote runs to the next double quote,
// commas and line ends included; anything after the closing quote up to the
// delimiter is appended, and an unclosed quote takes the rest of the text. A
// comma followed only by blanks before a line end closes the line with it, so
// "a,<line end>b" gives two items, not an extra empty one. Items stay text.
template <typename Char>
class BasicItemReader {
 public:
  using View = std::basic_string_view<Char>;

  explicit BasicItemReader(View text) : text_(text) {}

  bool AtEnd() const { return position_ >= text_.size(); }

  // How many commas and line ends `text` holds. Joining items with CR LF adds
  // at most one code unit per delimiter, so this bounds the joined length.
  static std::size_t CountDelimiters(View text) {
    std::size_t count = 0;
    std::size_t from = 0;
#if defined(__SSE2__)
    // Each match is -1 in its byte lane; lanes are summed before they can wrap.
    while (from + kUnits <= text.size()) {
      __m128i lanes = _mm_setzero_si128();
      for (int round = 0; round < 255 && from + kUnits <= text.size(); ++round, from += kUnits) {
        lanes = _mm_sub_epi8(lanes, DelimiterMatches(text.data() + from));
      }
      const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
      count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums) +
                                        _mm_cvtsi128_si32(_mm_srli_si128(sums, 8))) /
               sizeof(Char);
    }
#endif
    for (; from < text.size(); ++from) count += IsDelimiter(text[from]) ? 1 : 0;
    return count;
  }

  // Hands the next item's text to `append` in one or two pieces (a quoted
  // part, then what follows the closing quote), so callers can decode or copy
  // it straight to where it belongs.
  template <typename Append>
  void ReadPieces(Append&& append) {
    // Blanks and the quote all sort at or below '"': most items start above it.
    if (!AtEnd() && Code(text_[position_]) <= Code(Char('"'))) {
      SkipBlanks();
      if (!AtEnd() && text_[position_] == Char('"')) {
        const std::size_t start = position_ + 1;
        const std::size_t close = text_.find(Char('"'), start);
        if (close == View::npos) {
          append(text_.substr(start));
          position_ = text_.size();
          return;
        }
        append(text_.substr(start, close - start));
        position_ = close + 1;
      }
    }
    append(UnquotedPart());
    ConsumeDelimiter();
  }

 private:
  static unsigned Code(Char c) { return static_cast<std::make_unsigned_t<Char>>(c); }
  static bool IsBlank(Char c) { return c == Char(' ') || c == Char('\t'); }
  static bool IsLineEnd(Char c) { return c == Char('\r') || c == Char('\n'); }
  // Every delimiter sorts at or below ',', so most characters take one comparison.
  static bool IsDelimiter(Char c) {
    return Code(c) <= Code(Char(',')) && (c == Char(',') || IsLineEnd(c));
  }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[position_])) ++position_;
  }

  // Where the next comma or line end stands, or the end of the text. Sixteen
  // bytes at a time where the processor allows: this scan is most of reading.
  std::size_t FindDelimiter(std::size_t from) const {
#if defined(__SSE2__)
    for (; from + kUnits <= text_.size(); from += kUnits) {
      const int hits = DelimiterHits(text_.data() + from);
      if (hits != 0) return from + static_cast<unsigned>(__builtin_ctz(hits)) / sizeof(Char);
    }
#endif
    while (from < text_.size() && !IsDelimiter(text_[from])) ++from;
    return from;
  }

#if defined(__SSE2__)
  static constexpr std::size_t kUnits = 16 / sizeof(Char);

  // All ones in every lane of the 16 bytes at `at` that holds a delimiter.
  static __m128i DelimiterMatches(const Char* at) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_or_si128(_mm_or_si128(Equal(block, Splat(',')), Equal(block, Splat('\r'))),
                        Equal(block, Splat('\n')));
  }

  // A bit mask of the delimiters among the 16 bytes at `at`, one bit per byte.
  static int DelimiterHits(const Char* at) { return _mm_movemask_epi8(DelimiterMatches(at)); }

  static __m128i Splat(char c) {
    if constexpr (sizeof(Char) == 1) return _mm_set1_epi8(c);
    return _mm_set1_epi16(c);
  }
  static __m128i Equal(__m128i a, __m128i b) {
    if constexpr (sizeof(Char) == 1) return _mm_cmpeq_epi8(a, b);
    return _mm_cmpeq_epi16(a, b);
  }
#endif

  View UnquotedPart() {
    const std::size_t end = FindDelimiter(position_);
    std::size_t kept_end = end;
    while (kept_end > position_ && IsBlank(text_[kept_end - 1])) --kept_end;
    const View part(text_.data() + position_, kept_end - position_);  // in range by construction
    position_ = end;
    return part;
  }

  void ConsumeDelimiter() {
    if (AtEnd()) return;
    if (text_[position_] != Char(',')) {
      ConsumeLineEnd();
      return;
    }
    ++position_;
    // Blanks and line ends sort at or below ' ': above it, the next item starts right here.
    if (AtEnd() || Code(text_[position_]) > Code(Char(' '))) return;
    std::size_t next = position_;
    while (next < text_.size() && IsBlank(text_[next])) ++next;
    if (next == text_.size()) {
      position_ = next;
    } else if (IsLineEnd(text_[next])) {
      position_ = next;
      ConsumeLineEnd();
    }
  }

  void ConsumeLineEnd() {
    const bool crlf = text_[position_] == Char('\r') && position_ + 1 < text_.size() &&
                      text_[position_ + 1] == Char('\n');
    position_ += crlf ? 2 : 1;
  }

  View text_;
  std::size_t position_ = 0;
};

// Reads items of decoded text one at a time.
class ItemReader : public BasicItemReader<char16_t> {
 public:
  using BasicItemReader::BasicItemReader;

  // Replaces `item` with the next item, reusing its storage.
  void ReadItem(DataItem& item) {
    item.clear();
    ReadPieces([&](View piece) { item.append(piece); });
  }
};

}  // namespace zprava
