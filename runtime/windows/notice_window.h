#pragma once

#include <string>
#include <string_view>

namespace zprava {

// The part of a body the program's own dialog shows: all of it up to a
// quarter of a million code units, otherwise about that much, cut at a line
// end where there is one in the last half, never inside a surrogate pair.
std::u16string_view ShownPart(std::u16string_view body);

// Whether the system's message box shows `header` and `body` (display text,
// CR LF line ends) within about 80 % of the primary monitor's work area.
// Text far too long for any screen is refused without being measured.
bool FitsMessageBox(std::u16string_view header, std::u16string_view body);

// A dialog of the program's own with the message box's parts, for notices
// that do not fit one: the question icon, the header line on top, the body in
// a read-only, scrollable edit control, and OK. Enter, Escape and the close
// control dismiss it too. Blocks until then; throws RuntimeFailure when it
// cannot be shown.
void ShowNoticeWindow(std::u16string_view caption, std::u16string_view header, std::u16string body);

}  // namespace zprava
