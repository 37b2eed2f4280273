#pragma once

#include <gtk/gtk.h>

#include <string_view>

#include "text/text.h"

namespace zprava {

// The dialog's text for `dialog`: header and body in one label while they fit
// the screen; otherwise the header in a label above the body in a scrolled
// view, so that the OK button always stays on screen.
GtkWidget* NewPromptArea(std::u16string_view header, NoticeText body, GtkWidget* dialog);

}  // namespace zprava
