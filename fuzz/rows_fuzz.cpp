// Display rows and the translation between positions and characters: random
// text cut into rows of random width, with and without character classes,
// asked about positions in random order, each answer checked against the
// rows walked one by one and against characters counted the plain way.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_text.h"
#include "text/display_rows.h"

namespace {

using fuzz_text::Require;
using zprava::DisplayRows;

// Rows are cut in a single pass and found again from a start kept every 64
// rows: rows of up to 15 columns over a few hundred units make several kept
// starts, and more only repeat the same at a higher cost a run.
constexpr std::size_t kMostBytes = 1024;

struct Setting {
  std::size_t row_columns;
  bool classes;
  std::vector<std::size_t> queries;  // positions or character offsets, to be asked first
};

Setting SettingFrom(fuzz_text::ByteStream& bytes) {
  Setting setting{bytes.Next() % 16U, (bytes.Next() & 1U) != 0, {}};
  for (std::size_t count = bytes.Next() % 16U; count > 0; --count) {
    setting.queries.push_back(bytes.NextUnit());
  }
  return setting;
}

std::size_t ColumnsOf(std::u16string_view text) {
  std::size_t columns = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (at > 0 && fuzz_text::IsLow(text[at]) && fuzz_text::IsHigh(text[at - 1])) continue;
    columns += static_cast<std::size_t>(fuzz_text::Columns(fuzz_text::CodePointFrom(text, at)));
  }
  return columns;
}

// Whether a row may end at `end`, inside a line, with the classes: after a
// blank (rows are cut there first, even where a mark follows the blank and
// so starts the next row), otherwise not between characters they keep
// together unless every place in the row is such (marks piled on one
// letter), and never inside a surrogate pair.
bool MayCutAt(std::u16string_view text, std::size_t start, std::size_t end) {
  if (text[end - 1] == u' ' || text[end - 1] == u'\t') return true;
  auto keeps_together = [&](std::size_t at) {
    return (fuzz_text::IsLow(text[at]) && fuzz_text::IsHigh(text[at - 1])) ||
           fuzz_text::KeepsTogether(fuzz_text::CodePointBefore(text, at),
                                    fuzz_text::CodePointFrom(text, at));
  };
  if (!keeps_together(end)) return true;
  if (fuzz_text::IsLow(text[end]) && fuzz_text::IsHigh(text[end - 1])) return false;
  for (std::size_t at = start + 2; at < end; ++at) {
    if (!keeps_together(at)) return false;
  }
  return true;
}

// Rows tile the text, each a line's part without its line end, and are no
// wider than asked.
void CheckRows(const std::vector<DisplayRows::Row>& walked, std::u16string_view text,
               const Setting& setting) {
  const std::size_t columns = std::max<std::size_t>(setting.row_columns, 2);
  Require(walked.front().start == 0);
  for (std::size_t i = 0; i < walked.size(); ++i) {
    const DisplayRows::Row& row = walked[i];
    const std::size_t end = row.start + row.text.size();
    Require(row.text == text.substr(row.start, row.text.size()));
    Require(std::none_of(row.text.begin(), row.text.end(),
                         [](char16_t c) { return c == u'\r' || c == u'\n'; }));
    if (i + 1 < walked.size()) Require(walked[i + 1].start == row.next);
    const std::size_t line_end = row.next - end;
    // A line end right after a row belongs to it, never to an empty row of its own.
    Require(line_end == fuzz_text::LineEndAt(text, end));
    // However the row ends, it fits its columns, unless it is a single
    // character that is wider still.
    if (setting.classes) {
      Require(ColumnsOf(row.text) <= columns || fuzz_text::CharStarts(row.text).size() <= 2);
    }
    if (line_end != 0 || row.next == text.size()) continue;
    // Cut inside a line.
    Require(!row.text.empty());
    if (!setting.classes) {
      Require(row.text.size() <= columns);
      Require(!(fuzz_text::IsLow(text[end]) && fuzz_text::IsHigh(text[end - 1])));
      continue;
    }
    // Four units a column, and the second half of a surrogate pair across that.
    Require(row.text.size() <= 4 * columns + 1);
    Require(ColumnsOf(row.text) <= columns || fuzz_text::CharStarts(row.text).size() == 2);
    Require(MayCutAt(text, row.start, end));
  }
}

// The index of the row holding `at`: the last row that starts at or before it.
std::size_t RowIndexOf(const std::vector<DisplayRows::Row>& walked, std::size_t at) {
  const auto after = std::upper_bound(
      walked.begin(), walked.end(), at,
      [](std::size_t value, const DisplayRows::Row& row) { return value < row.start; });
  return static_cast<std::size_t>(after - walked.begin()) - 1;
}

struct Model {
  std::u16string_view text;
  std::vector<DisplayRows::Row> walked;
  std::vector<std::size_t> starts;  // of every character, and the text's end
};

void CheckPosition(const DisplayRows& rows, const Model& model, std::size_t at) {
  const std::size_t chars = model.starts.size() - 1;
  Require(rows.CharOfUnit(at) ==
          fuzz_text::CharacterOf(model.starts, std::min(at, model.text.size())));
  if (at <= model.text.size()) Require(rows.IndexOf(at) == RowIndexOf(model.walked, at));
  const std::size_t char_offset = at % (chars + 2);
  Require(rows.UnitOfChar(char_offset) == model.starts[std::min(char_offset, chars)]);
  const std::size_t index = at % model.walked.size();
  Require(rows.Start(index) == model.walked[index].start);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_text::ByteStream bytes(data, std::min(size, kMostBytes));
  const Setting setting = SettingFrom(bytes);
  const std::u16string text = fuzz_text::TextFrom(bytes);
  const DisplayRows rows(text, setting.row_columns,
                         setting.classes ? fuzz_text::kClasses : zprava::CharacterClasses{});
  Model model{text, fuzz_text::WalkRows(rows, text), fuzz_text::CharStarts(text)};
  Require(rows.Count() == model.walked.size());
  CheckRows(model.walked, text, setting);
  // Characters are counted only as far as asked: first where the input
  // says, in its order, then along the whole text.
  for (const std::size_t at : setting.queries) CheckPosition(rows, model, at % (text.size() + 4));
  Require(rows.CharCount() == model.starts.size() - 1);
  const std::size_t step = std::max<std::size_t>(1, text.size() / 8);
  for (std::size_t at = 0; at <= text.size() + 1; at += step) CheckPosition(rows, model, at);
  return 0;
}
