// What a screen reader is told of a long notice: characters, lines and text
// between character offsets, computed by the functions the view's accessible
// calls, checked against characters counted the plain way
// and against the text as shown. Random text, random row widths, random
// offsets in random order.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_text.h"
#include "text/caret.h"
#include "text/display_rows.h"
#include "text/display_text.h"
#include "text/row_spans.h"

namespace {

using fuzz_text::Require;
using zprava::DisplayRows;

constexpr std::size_t kMostBytes = 1024;

using Span = zprava::TextSpan;

std::size_t CodePointsIn(const std::string& utf8) {
  return static_cast<std::size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The text between two units as the accessible gives it.
std::string Shown(std::u16string_view text, std::size_t from, std::size_t to) {
  to = std::min(to, text.size());
  from = std::min(from, to);
  return zprava::ToDisplayUtf8(text.substr(from, to - from), zprava::DisplayTarget::kDialog);
}

struct Check {
  std::u16string_view text;
  const DisplayRows& rows;
  std::vector<std::size_t> starts;  // of every character, and the text's end
  std::size_t Count() const { return starts.size() - 1; }

  // What the accessible answers for character `offset`, as far as it can be
  // told from the plain characters: the character itself, and the lines
  // around it, each span shown with as many characters as it counts.
  void Offset(std::size_t offset) const {
    const std::size_t at = rows.UnitOfChar(offset);
    Require(at == starts[std::min(offset, Count())]);
    const Span c = zprava::CharAt(text, at);
    const std::size_t first = rows.CharOfUnit(c.begin), last = rows.CharOfUnit(c.end);
    Require(first == std::min(offset, Count()));
    Require(last == first + (offset < Count() ? 1 : 0));
    Require(CodePointsIn(Shown(text, c.begin, c.end)) == last - first);
    const Span with_end = zprava::RowFromItsStart(rows, at);
    for (const Span line : {with_end, zprava::RowToItsEnd(rows, at)}) {
      const std::size_t from = rows.CharOfUnit(line.begin), to = rows.CharOfUnit(line.end);
      Require(from <= first && first <= to);
      Require(CodePointsIn(Shown(text, line.begin, line.end)) == to - from);
    }
    // The line with its end holds the character (but at the text's end).
    Require(rows.CharOfUnit(with_end.end) > first || first == Count());
  }

  // The text between two character offsets has as many characters.
  void Between(std::size_t start, std::size_t end) const {
    const std::string shown = Shown(text, rows.UnitOfChar(start), rows.UnitOfChar(end));
    const std::size_t to = std::min(end, Count()), from = std::min(start, to);
    Require(CodePointsIn(shown) == to - from);
  }

  // Line by line, both kinds of line follow on from each other: over up to
  // 16 rows from `first`, and from the text's start and up to its end.
  void Lines(std::size_t first) const {
    first %= rows.Count();
    const Span top = zprava::RowFromItsStart(rows, 0), top_to_end = zprava::RowToItsEnd(rows, 0);
    Require(top.begin == 0 && top_to_end.begin == 0);
    std::size_t from_start = rows.CharOfUnit(rows.Start(first));
    std::size_t to_end =
        first == 0 ? 0 : rows.CharOfUnit(zprava::RowToItsEnd(rows, rows.Start(first)).begin);
    for (std::size_t index = first; index < std::min(rows.Count(), first + 16); ++index) {
      const std::size_t start = rows.Start(index);
      const Span with_end = zprava::RowFromItsStart(rows, start),
                 without_end = zprava::RowToItsEnd(rows, start);
      Require(rows.CharOfUnit(with_end.begin) == from_start);
      Require(rows.CharOfUnit(without_end.begin) == to_end);
      from_start = rows.CharOfUnit(with_end.end);
      to_end = rows.CharOfUnit(without_end.end);
    }
    const std::size_t last_start = rows.Start(rows.Count() - 1);
    Require(rows.CharOfUnit(zprava::RowFromItsStart(rows, last_start).end) == Count());
    Require(rows.CharOfUnit(zprava::RowToItsEnd(rows, last_start).end) == Count());
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_text::ByteStream bytes(data, std::min(size, kMostBytes));
  const std::size_t row_columns = bytes.Next() % 16U;
  const bool classes = (bytes.Next() & 1U) != 0;
  std::vector<std::uint16_t> queries(bytes.Next() % 16U);
  for (std::uint16_t& query : queries) query = bytes.NextUnit();
  const std::u16string text = fuzz_text::TextFrom(bytes);
  const DisplayRows rows(text, row_columns,
                         classes ? fuzz_text::kClasses : zprava::CharacterClasses{});
  const Check check{text, rows, fuzz_text::CharStarts(text)};
  // Offsets as a screen reader may ask for them, in any order and past the
  // end; then every one, and the whole text.
  for (std::size_t i = 0; i < queries.size(); ++i) {
    check.Offset(queries[i] % (check.Count() + 3));
    if (i % 2 == 1)
      check.Between(queries[i - 1] % (check.Count() + 3), queries[i] % (check.Count() + 3));
  }
  Require(rows.CharCount() == check.Count());
  const std::size_t step = std::max<std::size_t>(1, check.Count() / 8);
  for (std::size_t offset = 0; offset <= check.Count() + 1; offset += step) check.Offset(offset);
  check.Between(0, check.Count());
  check.Lines(queries.empty() ? 0 : queries.front());
  return 0;
}
