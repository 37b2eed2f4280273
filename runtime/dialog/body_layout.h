#pragma once

#include <cstddef>
#include <string_view>

#include "text/display_rows.h"

namespace zprava {

// What every dialog keeps to, on every platform:
//
// A dialog takes at most this share of the monitor's work area, in width
// and in height: a margin of the desktop stays in sight around it, so that
// it reads as a message over the user's work, not a window in its place,
// and there is room to move it aside.
inline constexpr int kScreenSharePercent = 80;
constexpr int ScreenShare(int length) {
  return static_cast<int>(static_cast<long long>(length) * kScreenSharePercent / 100);
}

// Header and body longer than this together go to the scrolled view
// unmeasured. A label or message box is laid out whole before the dialog
// appears, and measuring it costs as much again, both growing with the
// text; this is more than either holds in the share above on any common
// screen, so no text that would fit is refused, and it keeps that wait short.
inline constexpr std::size_t kMostMeasuredUnits = 20'000;

// The scrolled view is this many characters wide, or less where the screen
// is narrow: about the longest line that still reads easily, the eye
// finding the next line without losing its place.
inline constexpr int kScrolledColumns = 80;

struct FontMetrics {
  int line_height;  // pixels
  int char_width;   // of an average character, pixels
};

struct ScreenArea {
  int width;
  int height;
};

// Pixels for `columns` characters of `font`. Characters are wider than the
// average its metrics give (digits, capitals): this keeps room for them, so
// that a line of `columns` seldom wraps.
int ColumnsWidth(FontMetrics font, int columns);

// How a dialog that lays its text out by estimate shows a notice's body:
// whole in its message label while the header and body fit the share of
// the screen, otherwise in a scrolled view below the header, so that OK
// always stays on screen. The GTK dialog decides so; the Windows dialog
// measures its message box with the system instead.
enum class BodyView { kLabel, kScrolled };

// What the dialog puts around its text, in pixels, and where its label wraps.
struct DialogFrame {
  int height;             // title bar, margins, first line and the button row
  int width;              // the icon beside the text, margins and frame
  int view_width;         // the scrolled view's own margins, frame and scroll bar
  int least_view_height;  // the scrolled view keeps at least this on a low screen
  int wrap_columns;       // a message label wraps at about this many characters
};

struct BodyLayout {
  BodyView view;
  bool break_words;  // in the label: a word longer than a line must be broken to fit
  int width;         // of the scrolled view, pixels
  int height;
  std::size_t row_columns;  // of the scrolled view's rows
};

// Pure: the same text, font, frame and screen always give the same layout.
BodyLayout ChooseBodyLayout(std::u16string_view header, std::u16string_view body, FontMetrics font,
                            ScreenArea work_area, const DialogFrame& frame,
                            CharacterClasses classes = {});

}  // namespace zprava
