#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
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
    ReadQuotedPart(append);
    append(UnquotedPart());
    ConsumeDelimiter();
  }

  // Writes the next item's text at `out` and returns the end of what it
  // wrote. The unquoted part, nearly always all of an item, is copied a block
  // at a time while it is scanned, so a block may be written past the item's
  // end: `out` needs room for the item and 32 bytes more, and when it lies in
  // the text itself, it must stay that far behind the reading.
  Char* CopyItemTo(Char* out) {
    ReadQuotedPart([&](View piece) {
      std::memmove(out, piece.data(), piece.size() * sizeof(Char));
      out += piece.size();
    });
    out = CopyUnquotedPart(out);
    ConsumeDelimiter();
    return out;
  }

  // Like CopyItemTo, but where the text allows, several items at once, joined
  // by CR LF: short items would otherwise cost more to find than to copy. Same
  // needs of `out`; where it lies in the text, it must stay 64 code units
  // behind the reading however many of the delimiters ahead become CR LF.
  Char* CopyItemsTo(Char* out) {
#if defined(__SSE2__)
    if (CopyPlainItems(out)) return out;
#endif
    return CopyItemTo(out);
  }

 private:
  static unsigned Code(Char c) { return static_cast<std::make_unsigned_t<Char>>(c); }
  // Both blanks sort at or below ' ', so most characters take one comparison.
  static bool IsBlank(Char c) {
    return Code(c) <= Code(Char(' ')) && (c == Char(' ') || c == Char('\t'));
  }
  static bool IsLineEnd(Char c) { return c == Char('\r') || c == Char('\n'); }
  // Every delimiter sorts at or below ',', so most characters take one comparison.
  static bool IsDelimiter(Char c) {
    return Code(c) <= Code(Char(',')) && (c == Char(',') || IsLineEnd(c));
  }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[position_])) ++position_;
  }

  // Hands a quoted part, if the item opens with one, to `append`; an unclosed
  // quote takes the rest of the text.
  template <typename Append>
  void ReadQuotedPart(Append&& append) {
    // Blanks and the quote all sort at or below '"': most items start above it.
    if (AtEnd() || Code(text_[position_]) > Code(Char('"'))) return;
    SkipBlanks();
    if (AtEnd() || text_[position_] != Char('"')) return;
    const std::size_t start = position_ + 1;
    const std::size_t close = std::min(text_.find(Char('"'), start), text_.size());
    append(text_.substr(start, close - start));
    position_ = std::min(close + 1, text_.size());
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
    return DelimiterMatches(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
  }
  static __m128i DelimiterMatches(__m128i block) {
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

  // The next 32 code units, a bit for each that equals one character.
  class Window {
   public:
    explicit Window(const Char* at) {
      for (std::size_t i = 0; i < kBlocks; ++i) {
        blocks_[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + i * kUnits));
      }
    }

    std::uint32_t Matches(char c) const {
      const __m128i splat = Splat(c);
      if constexpr (sizeof(Char) == 1) {
        return Bits(_mm_cmpeq_epi8(blocks_[0], splat)) | Bits(_mm_cmpeq_epi8(blocks_[1], splat))
                                                             << 16;
      }
      // Pairs of 16-bit results packed to one byte each, 16 units a mask.
      return Bits(_mm_packs_epi16(_mm_cmpeq_epi16(blocks_[0], splat),
                                  _mm_cmpeq_epi16(blocks_[1], splat))) |
             Bits(_mm_packs_epi16(_mm_cmpeq_epi16(blocks_[2], splat),
                                  _mm_cmpeq_epi16(blocks_[3], splat)))
                 << 16;
    }

   private:
    static constexpr std::size_t kBlocks = 32 / kUnits;
    static std::uint32_t Bits(__m128i lanes) {
      return static_cast<std::uint32_t>(_mm_movemask_epi8(lanes));
    }
    __m128i blocks_[kBlocks];
  };

  // Copies the items that lie wholly in the next 32 code units, when they
  // need neither quotes nor blank trimming, reading their delimiters from bit
  // masks rather than one item at a time. False, copying nothing, when the
  // first item is not such an item or ends beyond the window.
  bool CopyPlainItems(Char*& out) {
    if (text_.size() - position_ < 64) return false;  // room for every block load below
    const Char* const in = text_.data() + position_;
    const Window window(in);
    const std::uint32_t commas = window.Matches(',');
    const std::uint32_t crs = window.Matches('\r');
    const std::uint32_t lfs = window.Matches('\n');
    const std::uint32_t delimiters = commas | crs | lfs;
    const std::uint32_t starts = 1 | delimiters << 1;  // every place an item may start
    const std::uint32_t blanks = window.Matches(' ') | window.Matches('\t');
    const std::uint32_t awkward =
        (blanks & (starts | delimiters >> 1)) | (window.Matches('"') & starts);
    // A delimiter may be read here when neither it nor what it takes with it
    // (the line end after a comma, the LF of a CR LF) reaches an awkward unit
    // or past the window.
    const int first_awkward = awkward == 0 ? 32 : __builtin_ctz(awkward);
    const int limit = std::min(first_awkward - 1, 30);
    if (limit <= 0) return false;
    const std::uint32_t taken_along = ((crs | lfs) & commas << 1) | (lfs & crs << 1);
    std::uint32_t ends = delimiters & ~taken_along & ((std::uint32_t{1} << limit) - 1);
    if (ends == 0) return false;
    unsigned item = 0;
    for (bool first = true; ends != 0; ends &= ends - 1, first = false) {
      const unsigned end = static_cast<unsigned>(__builtin_ctz(ends));
      if (!first) {
        *out++ = Char('\r');
        *out++ = Char('\n');
      }
      CopyUnits(out, in + item, end - item);
      out += end - item;
      // Past the delimiter and the units it takes along (a run of at most two).
      item = end + 1 + static_cast<unsigned>(__builtin_ctz(~(taken_along >> (end + 1))));
    }
    position_ += item;
    return true;
  }

  // Sixteen bytes at a time, so up to sixteen bytes past `count` units.
  static void CopyUnits(Char* out, const Char* from, std::size_t count) {
    for (std::size_t done = 0; done < count; done += kUnits) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + done)));
    }
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

  // UnquotedPart's work, fused with copying to `out`.
  Char* CopyUnquotedPart(Char* out) {
    const Char* in = text_.data() + position_;
    const Char* const end = text_.data() + text_.size();
    Char* const part = out;
    if (!CopyBlocksToDelimiter(in, out, end)) {
      while (in < end && !IsDelimiter(*in)) *out++ = *in++;
    }
    position_ = static_cast<std::size_t>(in - text_.data());
    // Trailing blanks are looked for in the copy: when `out` lies in the text,
    // a long item's copy may already cover the item's own end.
    while (out > part && IsBlank(out[-1])) --out;
    return out;
  }

  // Copies 32 bytes at a time until a block holds a delimiter, then moves
  // `in` and `out` up to it and returns true; false when fewer than 32 bytes
  // are left. Two blocks a step take most items in one go.
  static bool CopyBlocksToDelimiter(const Char*& in, Char*& out, const Char* end) {
#if defined(__SSE2__)
    for (; end - in >= static_cast<std::ptrdiff_t>(2 * kUnits);
         in += 2 * kUnits, out += 2 * kUnits) {
      const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
      const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + kUnits));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), first);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + kUnits), second);
      const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(DelimiterMatches(first))) |
                            static_cast<unsigned>(_mm_movemask_epi8(DelimiterMatches(second)))
                                << 16;
      if (hits != 0) {
        const std::size_t taken = static_cast<unsigned>(__builtin_ctz(hits)) / sizeof(Char);
        in += taken;
        out += taken;
        return true;
      }
    }
#else
    (void)in;
    (void)out;
    (void)end;
#endif
    return false;
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
