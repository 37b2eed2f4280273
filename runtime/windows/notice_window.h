#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/text.h"

namespace zprava {

// Longer text goes to the program's own dialog unmeasured: a box filled
// with that much is hard to read even where a large screen holds it, and
// measuring it would delay the dialog.
inline constexpr std::size_t kMostMeasuredUnits = std::size_t{1} << 15;

// Whether the system's message box shows `header` and `body` (display text,
// CR LF line ends) within about 80 % of the primary monitor's work area.
// Text far too long for any screen is refused without being measured.
bool FitsMessageBox(std::u16string_view header, std::u16string_view body);

// A dialog of the program's own with the message box's parts, for notices
// that do not fit one: the question icon, the header line on top, the body in
// a read-only, scrollable edit control, and OK. Enter, Escape and the close
// control dismiss it too. `caption` and `header` are display text; `body` is
// the notice as read, kept whole and converted for display a window at a
// time. Blocks until dismissed; throws RuntimeFailure when it cannot be shown.
void ShowNoticeWindow(std::u16string_view caption, std::u16string_view header, NoticeText body);

}  // namespace zprava
