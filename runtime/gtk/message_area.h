#pragma once

#include <gtk/gtk.h>

#include <string_view>

#include "text/text.h"

namespace zprava {

// Puts the text in a message dialog: header and body in its label while they
// fit the screen; otherwise the header there, above the body in a scrolled
// view, so that the OK button always stays on screen. Returns the view, which
// takes focus first so that its first line is read out and the keys scroll
// it at once; nullptr when the body is in the label.
GtkWidget* FillMessageArea(GtkMessageDialog* dialog, std::u16string_view header, NoticeText body);

}  // namespace zprava
