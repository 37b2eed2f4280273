#include "dialog/body_layout.h"

#include <algorithm>
#include <cmath>

#include "text/line_end.h"
#include "text/unicode.h"

namespace zprava {
namespace {

constexpr double kCharSlack = 1.15;  // how much wider than the average a character may be

struct TextShape {
  long wrapped_lines = 0;      // in a label, counted no further than the limit asked for
  bool has_long_word = false;  // a word longer than a line, which only breaking inside it can fit
};

// Characters are counted as they take room: a combining mark none of its
// own, a wide character two columns.
void AddShape(std::u16string_view text, long line_limit, long wrap_columns,
              CharacterClasses classes, TextShape& shape) {
  long chars_in_line = 0;
  long chars_in_word = 0;
  auto end_line = [&] {
    shape.wrapped_lines += std::max(1L, (chars_in_line + wrap_columns - 1) / wrap_columns);
    chars_in_line = 0;
    chars_in_word = 0;
  };
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t line_end = LineEndLength(text, i)) {
      i += line_end;
      end_line();
      if (shape.wrapped_lines > line_limit) return;
      continue;
    }
    const CodePoint c = CodePointAt(text, i);
    i += c.length;
    const auto columns = static_cast<long>(classes.ColumnsOf(c.value));
    chars_in_line += columns;
    chars_in_word = c.value == u' ' || c.value == u'\t' ? 0 : chars_in_word + columns;
    shape.has_long_word = shape.has_long_word || chars_in_word > wrap_columns;
  }
  end_line();
}

}  // namespace

int ColumnsWidth(FontMetrics font, int columns) {
  return static_cast<int>(std::ceil(columns * (std::max(1, font.char_width) * kCharSlack)));
}

BodyLayout ChooseBodyLayout(std::u16string_view header, std::u16string_view body, FontMetrics font,
                            ScreenArea work_area, const DialogFrame& frame,
                            CharacterClasses classes) {
  const int line_height = std::max(1, font.line_height);
  const int available = ScreenShare(work_area.height) - frame.height;
  const long fitting_lines = std::max(1, available / line_height);
  const long wrap_columns = std::max(1, frame.wrap_columns);
  TextShape shape;
  if (header.size() + body.size() <= kMostMeasuredUnits) {
    AddShape(header, fitting_lines, wrap_columns, classes, shape);
    AddShape(body, fitting_lines, wrap_columns, classes, shape);
    if (shape.wrapped_lines <= fitting_lines) {
      return {BodyView::kLabel, shape.has_long_word, 0, 0, 0};
    }
  }
  const double char_width = std::max(1, font.char_width) * kCharSlack;
  const int widest = ScreenShare(work_area.width) - frame.width;
  const int width =
      std::max(frame.view_width + 1,
               std::min(ColumnsWidth(font, kScrolledColumns) + frame.view_width, widest));
  const auto columns = static_cast<std::size_t>(
      std::clamp((width - frame.view_width) / char_width, 2.0, double{kScrolledColumns}));
  return {BodyView::kScrolled, false, width, std::max(available, frame.least_view_height), columns};
}

}  // namespace zprava
