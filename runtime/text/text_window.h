#pragma once

#include <cstddef>
#include <string_view>

#include "text/positions.h"

namespace zprava {

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

// What a view that shows one window of a text was asked to do past that
// window's ends: a line, page or character on past its end or back past
// its start, or to the text's end or start.
enum class WindowMove { kNone, kOn, kBack, kToEnd, kToStart };

// The window a view shows after `move`, given the window it shows and the
// place in the text it must keep in view (its caret for keys, its first
// visible line for scrolling). On and back go half a window, but only where
// `kept` is in the new window: in a line longer than half a window the text
// between would otherwise be skipped unseen, so the window stays until the
// view has moved along the line. To the end or start it goes at once.
TextSpan WindowAfterMove(std::u16string_view text, TextSpan window, WindowMove move,
                         std::size_t kept, std::size_t units);

}  // namespace zprava
