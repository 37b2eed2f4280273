#pragma once

#include <emmintrin.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "text/utf8_blocks.h"

namespace zprava {

namespace sse2 {

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

inline constexpr std::array<Squeeze, 16> kSqueezes = MakeSqueezes();

}  // namespace sse2

template <>
struct Utf8Blocks<CodePath::kSse2> {
  // Decodes the 16 bytes at `in` when they hold only ASCII and complete
  // two-byte sequences (a lead at the last byte taking the 17th byte along),
  // as Czech text does: the sequences are decoded side by side and the
  // continuation bytes' places squeezed out. Needs 17 readable bytes and room
  // for 16 units, writes in steps of four; false, writing nothing, for
  // anything else. Always inlined: out of line, the caller would have to keep
  // `in` and `out` in memory.
  ZPRAVA_ALWAYS_INLINE static bool DecodeTwoByteBlock(const unsigned char*& in, char16_t*& out) {
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
      const sse2::Squeeze& squeeze = sse2::kSqueezes[(continuation_bits >> (4 * group)) & 0xFU];
      four = (four & squeeze.keep[0]) | (four >> 16 & squeeze.keep[1]) |
             (four >> 32 & squeeze.keep[2]) | (four >> 48 & squeeze.keep[3]);
      std::memcpy(out, &four, sizeof four);
      out += squeeze.kept;
    }
    in += lead_last ? 17 : 16;
    return true;
  }
};

}  // namespace zprava
