#pragma once

#include <cstddef>
#include <string_view>

namespace zprava {

// A part of a text, [begin, end) in code units.
struct TextSpan {
  std::size_t begin;
  std::size_t end;
  friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// About `units` code units of `text`, for a view that cannot hold the whole
// text at once, starting at `from` or up to an eighth of `units` before it,
// after a line end if there is one that close. The end falls at a line end
// in the same way, or at the text's end for the last window. Neither end
// ever splits a surrogate pair or a CR LF.
TextSpan TextWindowFrom(std::u16string_view text, std::size_t from, std::size_t units);

// The window half a window further on or back, overlapping `window`; the
// same window at the text's end or start.
TextSpan NextTextWindow(std::u16string_view text, TextSpan window, std::size_t units);
TextSpan PreviousTextWindow(std::u16string_view text, TextSpan window, std::size_t units);

// Where ToDisplayUtf16 puts the first `offset` code units of `text`: every
// lone CR or LF becomes CR LF, everything else keeps its length.
std::size_t DisplayOffset(std::u16string_view text, std::size_t offset);

// The offset in `text` whose display text starts at `display_offset`, or
// the line end's start for one inside a line end's CR LF.
std::size_t TextOffset(std::u16string_view text, std::size_t display_offset);

}  // namespace zprava
