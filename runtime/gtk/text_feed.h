#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace zprava {

// A read-only text view, wrapping at word boundaries, in a scrolled window
// of the given size. It is filled a slice of display text at a time from the
// main loop, so that however long the text, the dialog appears after the
// first slice and stays responsive while the rest goes in; each slice is let
// go once inserted.
GtkWidget* NewFedTextView(std::vector<std::string> slices, int width, int height);

}  // namespace zprava
