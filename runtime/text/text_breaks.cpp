#include "text/text_breaks.h"

#include <algorithm>

namespace zprava {

TextSpan BreakReach(const DisplayRows& rows, std::size_t text_size, std::size_t at) {
  constexpr std::size_t kReach = 4096;  // code units either side
  at = std::min(at, text_size);
  const std::size_t from = at > kReach ? rows.Start(rows.IndexOf(at - kReach)) : 0;
  return {from, std::min(text_size, at + kReach)};
}

std::size_t NextEdge(const TextBreaks& breaks, std::size_t at, std::uint8_t edge) {
  for (std::size_t i = 0; i < breaks.edges.size(); ++i) {
    if (breaks.unit_of_char[i] > at && (breaks.edges[i] & edge) != 0) {
      return breaks.unit_of_char[i];
    }
  }
  return breaks.unit_of_char.back();
}

std::size_t PreviousEdge(const TextBreaks& breaks, std::size_t at, std::uint8_t edge) {
  for (std::size_t i = breaks.edges.size(); i-- > 0;) {
    if (breaks.unit_of_char[i] < at && (breaks.edges[i] & edge) != 0) {
      return breaks.unit_of_char[i];
    }
  }
  return breaks.unit_of_char.front();
}

TextSpan UnitAround(const TextBreaks& breaks, std::size_t at, std::uint8_t edge) {
  const std::vector<std::size_t>& units = breaks.unit_of_char;
  auto is_edge = [&](std::size_t i) { return (breaks.edges[i] & edge) != 0; };
  const auto here =
      static_cast<std::size_t>(std::upper_bound(units.begin(), units.end(), at) - units.begin());
  std::size_t first = std::min(here == 0 ? 0 : here - 1, units.size() - 1);
  while (first > 0 && !is_edge(first)) --first;
  std::size_t last = first + 1;
  while (last + 1 < units.size() && !is_edge(last)) ++last;
  const std::size_t from = units[first];
  return {from, std::max(from, units[std::min(last, units.size() - 1)])};
}

}  // namespace zprava
