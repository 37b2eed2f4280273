#pragma once

#include <cstddef>
#include <string_view>

namespace zprava {

// A line ends at CR LF, at a lone CR or at a lone LF, in the notice file and
// wherever text is shown alike.
template <typename Char>
constexpr bool IsLineEndUnit(Char c) {
  // Both tests in one expression: one branch per unit in the scans over long text.
  return (c == Char('\r')) | (c == Char('\n'));
}

// How many code units the line end at `at` takes: 2 for CR LF, 1 for a lone
// CR or LF, 0 where no line end starts.
template <typename Char>
constexpr std::size_t LineEndLength(std::basic_string_view<Char> text, std::size_t at) {
  if (at >= text.size() || !IsLineEndUnit(text[at])) return 0;
  return text[at] == Char('\r') && at + 1 < text.size() && text[at + 1] == Char('\n') ? 2 : 1;
}

}  // namespace zprava
