#pragma once

#include <string_view>

#include "dialog/notice_dialog.h"
#include "text/text.h"

namespace zprava {

// A dialog of the program's own with the message box's parts, for notices
// that do not fit one: the question icon and the header line on top, the body in a
// read-only edit control that scrolls, and OK, within the screen share
// every dialog keeps to. Enter, Escape and the close control dismiss it too.
// `caption` and `header` are display text; `body` is the notice as read,
// kept whole and converted for display a text window at a time. Blocks
// until dismissed; throws RuntimeFailure when it cannot be shown.
void ShowLongNotice(std::u16string_view caption, std::u16string_view header, NoticeText body);

}  // namespace zprava
