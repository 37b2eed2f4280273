#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/code_path.h"
#include "text/item_reader.h"

namespace zprava {

// Bit masks over a window of 32 code units: bit i stands for unit i.
struct WindowMasks {
  std::uint32_t commas;
  std::uint32_t crs;
  std::uint32_t lfs;
  std::uint32_t blanks;  // spaces and tabs
  std::uint32_t quotes;
};

// Finding the notice's delimiters (commas, CRs and LFs) fast: most of the
// time spent reading a notice is spent looking for them. Every code path
// offers the same operations:
//   Count(text)           how many delimiters `text` holds (bytes or UTF-16)
//   kBlockUnits           how many units Block looks at
//   Block(at)             a bit for each delimiter among the kBlockUnits at `at`
//   Window(at)            the masks of the kWindowUnits units at `at`
template <CodePath>
struct DelimiterScan;

inline constexpr std::size_t kWindowUnits = 32;

template <>
struct DelimiterScan<CodePath::kScalar> {
  static constexpr std::size_t kBlockUnits = 16;

  template <typename Char>
  static std::size_t Count(std::basic_string_view<Char> text) {
    std::size_t count = 0;
    for (const Char c : text) count += IsItemDelimiter(c) ? 1 : 0;
    return count;
  }

  static std::uint32_t Block(const char16_t* at) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < kBlockUnits; ++i) {
      bits |= static_cast<std::uint32_t>(IsItemDelimiter(at[i])) << i;
    }
    return bits;
  }

  static WindowMasks Window(const char16_t* at) {
    WindowMasks masks{};
    for (std::size_t i = 0; i < kWindowUnits; ++i) {
      const std::uint32_t bit = std::uint32_t{1} << i;
      masks.commas |= at[i] == u',' ? bit : 0;
      masks.crs |= at[i] == u'\r' ? bit : 0;
      masks.lfs |= at[i] == u'\n' ? bit : 0;
      masks.blanks |= IsItemBlank(at[i]) ? bit : 0;
      masks.quotes |= at[i] == u'"' ? bit : 0;
    }
    return masks;
  }
};

}  // namespace zprava

#if ZPRAVA_HAVE_SSE2
#include "text/delimiter_scan_sse2.h"
#endif
