#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "text/line_end.h"
#include "text/unicode.h"

namespace zprava {

// A position in a notice is counted in one of three ways, and each name
// below says which:
// - a unit is a code unit of the notice as the program holds it; every
//   position the program keeps is a unit;
// - a char is a character as shown, as screen readers count them: a line
//   end (CR LF too), a surrogate pair and every other code unit are one
//   char each;
// - a display unit is a code unit of the display text (ToDisplayUtf16),
//   where every lone CR or LF has become CR LF, as the Windows edit
//   control counts.

// A part of a text, [begin, end) in units.
struct TextSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// Whether unit `at` falls inside a char: between the halves of a surrogate
// pair, or between the CR and LF of a line end.
constexpr bool SplitsChar(std::u16string_view text, std::size_t at) {
  if (at == 0 || at >= text.size()) return false;
  return (IsHighSurrogate(text[at - 1]) && IsLowSurrogate(text[at])) ||
         (text[at - 1] == u'\r' && text[at] == u'\n');
}

// The units of the char at unit `at`; 0 at the end of the text.
constexpr std::size_t CharLength(std::u16string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  const std::size_t line_end = LineEndLength(text, at);
  return line_end != 0 ? line_end : CodePointAt(text, at).length;
}

// The char at unit `at` (the end of the text gives an empty span there).
TextSpan CharAt(std::u16string_view text, std::size_t at);

// The chars of `text`.
std::size_t CountChars(std::u16string_view text);

// The unit each char of `span` starts at, then the span's end.
std::vector<std::size_t> CharStarts(std::u16string_view text, TextSpan span);

// The display unit where unit `unit` of `text` is shown.
std::size_t DisplayUnitOfUnit(std::u16string_view text, std::size_t unit);

// The unit shown at display unit `display_unit`, or the line end's start
// for one inside the CR LF shown for a lone CR or LF.
std::size_t UnitOfDisplayUnit(std::u16string_view text, std::size_t display_unit);

}  // namespace zprava
