#pragma once

#include <gtk/gtk.h>

#include <string_view>

#include "text/text.h"

namespace zprava {

// Puts the text in a message dialog: header and body in its label while they
// fit the screen; otherwise the header there, above the body in a scrolled
// view, so that the OK button always stays on screen.
void FillMessageArea(GtkMessageDialog* dialog, std::u16string_view header, NoticeText body);

}  // namespace zprava
