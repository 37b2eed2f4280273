#pragma once

#include <emmintrin.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/delimiter_scan.h"

namespace zprava {

// Sixteen bytes at a compare: eight UTF-16 units or sixteen bytes of a file.
template <>
struct DelimiterScan<CodePath::kSse2> {
  static constexpr std::size_t kBlockUnits = 16;

  template <typename Char>
  static std::size_t Count(std::basic_string_view<Char> text) {
    constexpr std::size_t kUnits = 16 / sizeof(Char);
    std::size_t count = 0;
    std::size_t from = 0;
    // Each matching byte is -1 in its lane; lanes are summed before they can wrap.
    while (from + kUnits <= text.size()) {
      __m128i lanes = _mm_setzero_si128();
      for (int round = 0; round < 255 && from + kUnits <= text.size(); ++round, from += kUnits) {
        lanes = _mm_sub_epi8(lanes, Matches<Char>(Load(text.data() + from)));
      }
      const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
      count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums) +
                                        _mm_cvtsi128_si32(_mm_srli_si128(sums, 8))) /
               sizeof(Char);
    }
    return count + DelimiterScan<CodePath::kScalar>::Count(text.substr(from));
  }

  static std::uint32_t Block(const char16_t* at) {
    return Bits(_mm_packs_epi16(Matches<char16_t>(Load(at)), Matches<char16_t>(Load(at + 8))));
  }

  static WindowMasks Window(const char16_t* at) {
    const __m128i blocks[4] = {Load(at), Load(at + 8), Load(at + 16), Load(at + 24)};
    // One bit per unit: pairs of 16-bit comparisons packed to bytes.
    auto mask = [&blocks](char c) {
      const __m128i splat = _mm_set1_epi16(c);
      auto half = [&](int first) {
        return Bits(_mm_packs_epi16(_mm_cmpeq_epi16(blocks[first], splat),
                                    _mm_cmpeq_epi16(blocks[first + 1], splat)));
      };
      return half(0) | half(2) << 16;
    };
    return {mask(','), mask('\r'), mask('\n'), mask(' ') | mask('\t'), mask('"')};
  }

 private:
  template <typename Char>
  static __m128i Load(const Char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  }

  static std::uint32_t Bits(__m128i lanes) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(lanes));
  }

  // All ones in every lane that holds a delimiter.
  template <typename Char>
  static __m128i Matches(__m128i block) {
    auto equal = [block](char c) {
      if constexpr (sizeof(Char) == 1) return _mm_cmpeq_epi8(block, _mm_set1_epi8(c));
      return _mm_cmpeq_epi16(block, _mm_set1_epi16(c));
    };
    return _mm_or_si128(_mm_or_si128(equal(','), equal('\r')), equal('\n'));
  }
};

}  // namespace zprava
