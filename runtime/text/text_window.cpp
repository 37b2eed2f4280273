#include "text/text_window.h"

#include <algorithm>

#include "text/line_end.h"
#include "text/unicode.h"

namespace zprava {
namespace {

// Where the last line end that is whole before `at` and starts at `lowest`
// or later begins, or npos. Looks no further back than `lowest`, so that a
// window is found in time bounded by its slack, however long the line.
std::size_t LineEndBefore(std::u16string_view text, std::size_t at, std::size_t lowest) {
  if (SplitsChar(text, at) && text[at - 1] == u'\r') --at;  // that CR LF is not whole
  for (std::size_t i = at; i > lowest; --i) {
    if (!IsLineEndUnit(text[i - 1])) continue;
    return i >= 2 && text[i - 1] == u'\n' && text[i - 2] == u'\r' ? i - 2 : i - 1;
  }
  return std::u16string_view::npos;
}

// A window's start at most `slack` before `at`: after a line end if one is
// that close.
std::size_t StartBefore(std::u16string_view text, std::size_t at, std::size_t slack) {
  const std::size_t line_end = LineEndBefore(text, at, at - std::min(at, slack + 2));
  if (line_end != std::u16string_view::npos) {
    const std::size_t line_start = line_end + LineEndLength(text, line_end);
    if (line_start + slack >= at) return line_start;
  }
  return SplitsChar(text, at) ? at - 1 : at;
}

// A window's end at most `slack` before `at`: at a line end if one is that close.
std::size_t EndBefore(std::u16string_view text, std::size_t at, std::size_t slack) {
  const std::size_t line_end = LineEndBefore(text, at, at - std::min(at, slack));
  if (line_end != std::u16string_view::npos) return line_end;
  return SplitsChar(text, at) ? at - 1 : at;
}

}  // namespace

TextSpan TextWindowFrom(std::u16string_view text, std::size_t from, std::size_t units) {
  units = std::max<std::size_t>(units, 8);
  if (text.size() <= units) return {0, text.size()};
  const std::size_t slack = units / 8;
  // The last window always reaches the end, even where its start moved back.
  const std::size_t last_start = text.size() - units;
  const std::size_t begin = StartBefore(text, std::min(from, last_start), slack);
  return {begin, from >= last_start ? text.size() : EndBefore(text, begin + units, slack)};
}

TextSpan NextTextWindow(std::u16string_view text, TextSpan window, std::size_t units) {
  if (window.end >= text.size()) return window;
  return TextWindowFrom(text, window.begin + units / 2, units);
}

TextSpan PreviousTextWindow(std::u16string_view text, TextSpan window, std::size_t units) {
  if (window.begin == 0) return window;
  return TextWindowFrom(text, window.begin - std::min(window.begin, units / 2), units);
}

TextSpan WindowAfterMove(std::u16string_view text, TextSpan window, WindowMove move,
                         std::size_t kept, std::size_t units) {
  TextSpan next = window;
  switch (move) {
    case WindowMove::kNone:
      return window;
    case WindowMove::kToEnd:
      return TextWindowFrom(text, text.size(), units);
    case WindowMove::kToStart:
      return TextWindowFrom(text, 0, units);
    case WindowMove::kOn:
      next = NextTextWindow(text, window, units);
      break;
    case WindowMove::kBack:
      next = PreviousTextWindow(text, window, units);
      break;
  }
  return kept >= next.begin && kept <= next.end ? next : window;
}

}  // namespace zprava
