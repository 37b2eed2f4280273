#include "runtime/text_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/unicode.h"

namespace zprava {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

struct Utf8Sequence {
  char32_t code_point;
  std::size_t length;  // when invalid: the bytes of the longest valid prefix, at least 1
  bool valid;
};

// Well-formed UTF-8 after Unicode's table of byte ranges; the narrowed second
// byte ranges exclude overlong forms, surrogates and values past U+10FFFF.
Utf8Sequence NextUtf8Sequence(const unsigned char* p, std::size_t available) {
  const unsigned lead = p[0];
  if (lead < 0x80) return {lead, 1, true};
  std::size_t continuation_count;
  char32_t code_point;
  unsigned low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    continuation_count = 1;
    code_point = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    continuation_count = 2;
    code_point = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    continuation_count = 3;
    code_point = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {0, 1, false};
  }
  for (std::size_t i = 1; i <= continuation_count; ++i) {
    if (i >= available || p[i] < low || p[i] > high) return {0, i, false};
    low = 0x80;
    high = 0xBF;
    code_point = (code_point << 6) | (p[i] & 0x3F);
  }
  return {code_point, continuation_count + 1, true};
}

constexpr std::ptrdiff_t kBlock = 16;

bool IsAsciiBlock(const unsigned char* p) {
  std::uint64_t halves[2];
  std::memcpy(halves, p, sizeof halves);
  return ((halves[0] | halves[1]) & 0x8080808080808080ULL) == 0;
}

// Czech text mixes ASCII with two-byte sequences at random; deciding between
// the two by selection rather than by branch keeps the processor from
// mispredicting at every other letter. Needs in[1] to be readable.
bool DecodeShortSequence(const unsigned char*& in, char16_t*& out) {
  const unsigned first = in[0], second = in[1];
  const bool ascii = first < 0x80;
  const bool two_bytes = first - 0xC2U <= 0xDFU - 0xC2U && (second & 0xC0U) == 0x80U;
  if (!ascii && !two_bytes) return false;
  *out++ = static_cast<char16_t>(ascii ? first : (first & 0x1FU) << 6 | (second & 0x3FU));
  in += ascii ? 1 : 2;
  return true;
}

#if defined(__SSE2__)
// How to squeeze four 16-bit units held in a 64-bit word (the first in the
// low bits, as on x86) so that the ones marked in a 4-bit mask drop out: a
// unit with n marked ones below it moves down n places.
struct Squeeze {
  std::uint64_t keep[4];  // which units, shifted down n places, to keep
  unsigned kept;
};

constexpr std::array<Squeeze, 16> MakeSqueezes() {
  std::array<Squeeze, 16> squeezes{};
  for (unsigned drops = 0; drops < 16; ++drops) {
    unsigned below = 0;
    for (unsigned unit = 0; unit < 4; ++unit) {
      if ((drops >> unit & 1U) != 0) {
        ++below;
        continue;
      }
      squeezes[drops].keep[below] |= std::uint64_t{0xFFFF} << (16 * (unit - below));
      ++squeezes[drops].kept;
    }
  }
  return squeezes;
}

constexpr std::array<Squeeze, 16> kSqueezes = MakeSqueezes();

// Decodes the 16 bytes at `in` when they hold only ASCII and complete
// two-byte sequences (a lead at the last byte taking the 17th byte along), as
// Czech text does: the sequences are decoded side by side and the
// continuation bytes' places squeezed out. Needs 17 readable bytes and room
// for 16 units, writes in steps of four; false, writing nothing, for
// anything else. Always inlined: called out of line, it
// made the caller keep `in` and `out` in memory, a tenth of the time.
inline __attribute__((always_inline)) bool DecodeTwoByteBlock(const unsigned char*& in,
                                                              char16_t*& out) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 1));
  // As signed bytes, continuations (0x80-0xBF) lie below -64 and two-byte
  // leads (0xC2-0xDF) from -62 to -33.
  const __m128i continuations = _mm_cmplt_epi8(bytes, _mm_set1_epi8(-64));
  const __m128i leads = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8(-63)),
                                      _mm_cmplt_epi8(bytes, _mm_set1_epi8(-32)));
  const unsigned continuation_bits = static_cast<unsigned>(_mm_movemask_epi8(continuations));
  const unsigned lead_bits = static_cast<unsigned>(_mm_movemask_epi8(leads));
  const unsigned high_bits = static_cast<unsigned>(_mm_movemask_epi8(bytes));
  const bool lead_last = (lead_bits >> 15) != 0;
  if (high_bits != (continuation_bits | lead_bits) ||
      continuation_bits != ((lead_bits << 1) & 0xFFFFU) ||
      (lead_last && (in[16] & 0xC0U) != 0x80U)) {
    return false;
  }
  const __m128i zero = _mm_setzero_si128();
  alignas(16) char16_t units[16];
  for (int half = 0; half < 2; ++half) {
    const __m128i byte_units =
        half == 0 ? _mm_unpacklo_epi8(bytes, zero) : _mm_unpackhi_epi8(bytes, zero);
    const __m128i next_units =
        half == 0 ? _mm_unpacklo_epi8(next, zero) : _mm_unpackhi_epi8(next, zero);
    const __m128i lead_units =
        half == 0 ? _mm_unpacklo_epi8(leads, leads) : _mm_unpackhi_epi8(leads, leads);
    const __m128i pairs =
        _mm_or_si128(_mm_slli_epi16(_mm_and_si128(byte_units, _mm_set1_epi16(0x1F)), 6),
                     _mm_and_si128(next_units, _mm_set1_epi16(0x3F)));
    const __m128i decoded =
        _mm_or_si128(_mm_and_si128(lead_units, pairs), _mm_andnot_si128(lead_units, byte_units));
    _mm_store_si128(reinterpret_cast<__m128i*>(units + 8 * half), decoded);
  }
  for (int group = 0; group < 4; ++group) {
    std::uint64_t four;
    std::memcpy(&four, units + 4 * group, sizeof four);
    const Squeeze& squeeze = kSqueezes[(continuation_bits >> (4 * group)) & 0xFU];
    four = (four & squeeze.keep[0]) | (four >> 16 & squeeze.keep[1]) |
           (four >> 32 & squeeze.keep[2]) | (four >> 48 & squeeze.keep[3]);
    std::memcpy(out, &four, sizeof four);
    out += squeeze.kept;
  }
  in += lead_last ? 17 : 16;
  return true;
}
#endif

// Decodes UTF-8; when strict, returns nullptr at the first invalid sequence,
// otherwise each maximal invalid subsequence becomes one U+FFFD.
template <bool kStrict>
char16_t* DecodeUtf8(std::string_view bytes, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = in + bytes.size();
  while (in < end) {
    if (end - in >= kBlock && IsAsciiBlock(in)) {
      for (int i = 0; i < kBlock; ++i) out[i] = in[i];
      out += kBlock;
      in += kBlock;
      continue;
    }
#if defined(__SSE2__)
    if (end - in > kBlock && DecodeTwoByteBlock(in, out)) continue;
#endif
    const auto* stop = in + std::min(kBlock, end - in - 1);
    while (in < stop && DecodeShortSequence(in, out)) {
    }
    if (in < stop || in == end - 1) {  // a longer sequence, an invalid one, or the last byte
      const Utf8Sequence sequence = NextUtf8Sequence(in, static_cast<std::size_t>(end - in));
      if (sequence.valid) {
        out = WriteUtf16(sequence.code_point, out);
      } else if constexpr (kStrict) {
        return nullptr;
      } else {
        *out++ = kReplacement;
      }
      in += sequence.length;
    }
  }
  return out;
}

char16_t* DecodeUtf16(std::string_view bytes, bool big_endian, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t units = bytes.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned first = in[2 * i], second = in[2 * i + 1];
    out[i] = static_cast<char16_t>(big_endian ? first << 8 | second : first | second << 8);
  }
  for (std::size_t i = 0; i < units; ++i) {
    const bool high = IsHighSurrogate(out[i]);
    const bool low = IsLowSurrogate(out[i]);
    const bool low_follows = i + 1 < units && IsLowSurrogate(out[i + 1]);
    if (high && low_follows) {
      ++i;
    } else if (high || low) {
      out[i] = kReplacement;
    }
  }
  out += units;
  if (bytes.size() % 2 != 0) *out++ = kReplacement;
  return out;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

}  // namespace

// Four units are put together and stored at once: storing them one by one
// into fresh memory took three times as long as looking them up.
char16_t* DecodeByTable(std::string_view bytes, const ByteTable& table, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 4 <= bytes.size(); i += 4) {
      const std::uint64_t four =
          std::uint64_t{table[in[i]]} | std::uint64_t{table[in[i + 1]]} << 16 |
          std::uint64_t{table[in[i + 2]]} << 32 | std::uint64_t{table[in[i + 3]]} << 48;
      std::memcpy(out + i, &four, sizeof four);
    }
  }
  for (; i < bytes.size(); ++i) out[i] = table[in[i]];
  return out + bytes.size();
}

char16_t* DecodeNoticeBytesTo(std::string_view bytes, char16_t* out) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return DecodeUtf8<false>(bytes.substr(3), out);
  if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false, out);
  if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true, out);
  // Decoding is also the validity test: a file that is not UTF-8 is decoded
  // again, over the same room, in the legacy code page.
  if (char16_t* end = DecodeUtf8<true>(bytes, out)) return end;
  return DecodeLegacyCodePageTo(bytes, out);
}

std::u16string DecodeNoticeBytes(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  text.resize(static_cast<std::size_t>(DecodeNoticeBytesTo(bytes, text.data()) - text.data()));
  return text;
}

}  // namespace zprava
