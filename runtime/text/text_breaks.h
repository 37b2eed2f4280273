#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "text/display_rows.h"
#include "text/positions.h"

namespace zprava {

// Where words and sentences start and end in a stretch of text, as the
// toolkit finds them in the user's language: the position each character
// starts at, then one past the last, and the edges before each of them.
struct TextBreaks {
  enum Edge : std::uint8_t { kWordStart = 1, kWordEnd = 2, kSentenceStart = 4, kSentenceEnd = 8 };
  std::vector<std::size_t> unit_of_char;
  std::vector<std::uint8_t> edges;
};

// The stretch around `at` whose breaks are looked for: words and sentences
// longer than that are taken in parts, so that finding one stays cheap. It
// starts at a row's start, where the text can be cut.
TextSpan BreakReach(const DisplayRows& rows, std::size_t text_size, std::size_t at);

// The first `edge` after `at`, or the stretch's end; the last before `at`, or
// its start.
std::size_t NextEdge(const TextBreaks& breaks, std::size_t at, std::uint8_t edge);
std::size_t PreviousEdge(const TextBreaks& breaks, std::size_t at, std::uint8_t edge);
// The unit that holds `at`: from the last `edge` at or before it to the next.
TextSpan UnitAround(const TextBreaks& breaks, std::size_t at, std::uint8_t edge);

}  // namespace zprava
