#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <string>

namespace zprava {

// A read-only view of text too long for GtkTextView, which keeps records and
// lays out every line, hundreds of bytes a line and minutes of work for a
// notice of a million lines. This one holds the text as it is, cut into
// rows of about `row_units`, and lays out only the rows on screen; it
// scrolls a row at a time, by wheel, scroll bar or keys. Shows `text` from
// `from` on and keeps it.
GtkWidget* NewLongTextView(std::u16string text, std::size_t from, std::size_t row_units, int width,
                           int height);

}  // namespace zprava
