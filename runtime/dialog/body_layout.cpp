#include "dialog/body_layout.h"

#include <algorithm>

#include "text/line_end.h"
#include "text/unicode.h"

namespace zprava {
namespace {

constexpr int kWrapChars = 60;        // a message label wraps at about this many characters
constexpr int kScrolledChars = 80;    // width of the scrolled view
constexpr int kChromeHeight = 160;    // title bar, margins, first line and the button row
constexpr int kChromeWidth = 140;     // the icon beside the text, margins and frame
constexpr int kViewChromeWidth = 30;  // the view's margins, frame and scroll bar
constexpr int kMinScrolledHeight = 120;
// Characters are wider than the average the font's size gives (digits, for
// one): rows keep this much room so that they seldom need wrapping again.
constexpr double kCharSlack = 1.15;

struct TextShape {
  long wrapped_lines = 0;      // in a label, counted no further than the limit asked for
  bool has_long_word = false;  // a word longer than a line, which only breaking inside it can fit
};

// Characters are counted as they take room: a combining mark none of its
// own, a wide character two columns.
void AddShape(std::u16string_view text, long line_limit, CharacterClasses classes,
              TextShape& shape) {
  long chars_in_line = 0;
  long chars_in_word = 0;
  auto end_line = [&] {
    shape.wrapped_lines += std::max(1L, (chars_in_line + kWrapChars - 1) / kWrapChars);
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
    const int columns = classes.columns == nullptr ? 1 : classes.columns(c.value);
    chars_in_line += columns;
    chars_in_word = c.value == u' ' || c.value == u'\t' ? 0 : chars_in_word + columns;
    shape.has_long_word = shape.has_long_word || chars_in_word > kWrapChars;
  }
  end_line();
}

}  // namespace

BodyLayout ChooseBodyLayout(std::u16string_view header, std::u16string_view body, FontMetrics font,
                            ScreenArea work_area, CharacterClasses classes) {
  const int line_height = std::max(1, font.line_height);
  const int available = static_cast<int>(work_area.height * kScreenShare) - kChromeHeight;
  const long fitting_lines = std::max(1, available / line_height);
  TextShape shape;
  if (header.size() + body.size() <= kLabelUnits) {
    AddShape(header, fitting_lines, classes, shape);
    AddShape(body, fitting_lines, classes, shape);
    if (shape.wrapped_lines <= fitting_lines) {
      return {BodyView::kLabel, shape.has_long_word, 0, 0, 0};
    }
  }
  // Eighty characters, or fewer where the screen is narrow.
  const double char_width = std::max(1, font.char_width) * kCharSlack;
  const int widest = static_cast<int>(work_area.width * kScreenShare) - kChromeWidth;
  const int width =
      std::max(kViewChromeWidth + 1,
               std::min(static_cast<int>(kScrolledChars * char_width) + kViewChromeWidth, widest));
  const auto columns = static_cast<std::size_t>(
      std::clamp((width - kViewChromeWidth) / char_width, 2.0, double{kScrolledChars}));
  return {BodyView::kScrolled, false, width, std::max(available, kMinScrolledHeight), columns};
}

}  // namespace zprava
