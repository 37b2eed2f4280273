#include "text/positions.h"

#include <algorithm>

namespace zprava {

TextSpan CharAt(std::u16string_view text, std::size_t at) {
  at = std::min(at, text.size());
  return {at, at + CharLength(text, at)};
}

std::size_t CountChars(std::u16string_view text) {
  std::size_t joined = 0;  // units that make one char with the unit before
  for (std::size_t i = 1; i < text.size(); ++i)
    joined += static_cast<std::size_t>(SplitsChar(text, i));
  return text.size() - joined;
}

std::vector<std::size_t> CharStarts(std::u16string_view text, TextSpan span) {
  std::vector<std::size_t> starts;
  std::size_t at = span.begin;
  while (at < span.end) {
    starts.push_back(at);
    at += CharLength(text, at);
  }
  starts.push_back(at);
  return starts;
}

std::size_t DisplayUnitOfUnit(std::u16string_view text, std::size_t unit) {
  std::size_t display_unit = unit;
  for (std::size_t at = 0; at < unit && at < text.size();) {
    const std::size_t line_end = LineEndLength(text, at);
    if (line_end == 1) ++display_unit;
    at += line_end ? line_end : 1;
  }
  return display_unit;
}

std::size_t UnitOfDisplayUnit(std::u16string_view text, std::size_t display_unit) {
  std::size_t at = 0;
  for (std::size_t shown = 0; at < text.size();) {
    const std::size_t line_end = LineEndLength(text, at);
    const std::size_t width = line_end ? 2 : 1;
    if (shown + width > display_unit) break;
    shown += width;
    at += line_end ? line_end : 1;
  }
  return at;
}

}  // namespace zprava
