#pragma once

#include <gtk/gtk.h>

#include <cstddef>

#include "text/text.h"

namespace zprava {

// A read-only view of text too long for GtkTextView, which keeps records for
// every line and lays out every line (bench/README.md has what that costs).
// This one keeps the text as it is, cut into rows
// of about `row_units`, and lays out only the rows on screen; it scrolls a
// row at a time, by wheel, scroll bar or keys.
GtkWidget* NewLongTextView(NoticeText text, std::size_t row_units, int width, int height);

}  // namespace zprava
