#include "dialog/body_layout.h"

#include <algorithm>

#include "text/line_end.h"
#include "text/unicode.h"

namespace zprava {
namespace {

constexpr int kWrapChars = 60;      // a message label wraps at about this many characters
constexpr int kScrolledChars = 80;  // width of the scrolled view
constexpr int kChromeHeight = 160;  // title bar, margins, first line and the button row
constexpr int kMinScrolledHeight = 120;

struct TextShape {
  long wrapped_lines = 0;      // in a label, counted no further than the limit asked for
  bool has_long_word = false;  // a word longer than a line, which only breaking inside it can fit
};

// Characters are counted as they take room: a combining mark or anything
// else that keeps with the character before it takes none of its own.
void AddShape(std::u16string_view text, long line_limit, KeepsTogether keeps_together,
              TextShape& shape) {
  long chars_in_line = 0;
  long chars_in_word = 0;
  char32_t previous = 0;
  auto end_line = [&] {
    shape.wrapped_lines += std::max(1L, (chars_in_line + kWrapChars - 1) / kWrapChars);
    chars_in_line = 0;
    chars_in_word = 0;
    previous = 0;
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
    const bool takes_room = keeps_together == nullptr || !keeps_together(previous, c.value);
    previous = c.value;
    if (!takes_room) continue;
    ++chars_in_line;
    chars_in_word = c.value == u' ' || c.value == u'\t' ? 0 : chars_in_word + 1;
    shape.has_long_word = shape.has_long_word || chars_in_word > kWrapChars;
  }
  end_line();
}

}  // namespace

BodyLayout ChooseBodyLayout(std::u16string_view header, std::u16string_view body, FontMetrics font,
                            ScreenArea work_area, KeepsTogether keeps_together) {
  const int line_height = std::max(1, font.line_height);
  const int available = static_cast<int>(work_area.height * kScreenShare) - kChromeHeight;
  const long fitting_lines = std::max(1, available / line_height);
  TextShape shape;
  if (header.size() + body.size() <= kLabelUnits) {
    AddShape(header, fitting_lines, keeps_together, shape);
    AddShape(body, fitting_lines, keeps_together, shape);
    if (shape.wrapped_lines <= fitting_lines) {
      return {BodyView::kLabel, shape.has_long_word, 0, 0, 0};
    }
  }
  const int width = std::min(kScrolledChars * std::max(1, font.char_width),
                             static_cast<int>(work_area.width * kScreenShare));
  return {BodyView::kScrolled, false, width, std::max(available, kMinScrolledHeight),
          kScrolledChars};
}

}  // namespace zprava
