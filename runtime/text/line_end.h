#pragma once

#include <cstddef>
#include <string_view>

#include "text/unicode.h"

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

// Whether `at` falls between two code units shown as one character: the
// halves of a surrogate pair, or the CR and LF of a line end.
constexpr bool SplitsCharacter(std::u16string_view text, std::size_t at) {
  if (at == 0 || at >= text.size()) return false;
  return (IsHighSurrogate(text[at - 1]) && IsLowSurrogate(text[at])) ||
         (text[at - 1] == u'\r' && text[at] == u'\n');
}

// The code units of the character shown at `at`: a line end, a surrogate
// pair or a single unit; 0 at the end of the text.
constexpr std::size_t ShownCharLength(std::u16string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  const std::size_t line_end = LineEndLength(text, at);
  return line_end != 0 ? line_end : CodePointAt(text, at).length;
}

}  // namespace zprava
