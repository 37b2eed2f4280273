#pragma once

#include <cstddef>
#include <string_view>

#include "text/display_rows.h"

namespace zprava {

// How a dialog shows a notice's body: whole in its message label while the
// header and body fit in a share of the screen, otherwise in a scrolled view
// below the header, so that OK always stays on screen.
enum class BodyView { kLabel, kScrolled };

struct FontMetrics {
  int line_height;  // pixels
  int char_width;   // of an average character, pixels
};

struct ScreenArea {
  int width;
  int height;
};

struct BodyLayout {
  BodyView view;
  bool break_words;  // in the label: a word longer than a line must be broken to fit
  int width;         // of the scrolled view, pixels
  int height;
  std::size_t row_columns;  // of the scrolled view's rows
};

// The text is shown whole in a label while it fits in this share of the
// screen's work area.
inline constexpr double kScreenShare = 0.8;
// A label never holds more than this, whatever the screen: laying it out is
// done whole, at once, before the dialog appears.
inline constexpr std::size_t kLabelUnits = 20'000;

// Pure: the same text, font and screen always give the same layout.
BodyLayout ChooseBodyLayout(std::u16string_view header, std::u16string_view body, FontMetrics font,
                            ScreenArea work_area, CharacterClasses classes = {});

}  // namespace zprava
