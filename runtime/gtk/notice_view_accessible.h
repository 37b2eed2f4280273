#pragma once

#include <gtk/gtk.h>

namespace zprava {

// The accessible type of the notice view's area: a read-only, multi-line
// text with a caret and a selection, served through ATK's text interface
// from the notice itself, so that a screen reader reads a notice of any
// length line by line without a second copy of it.
GType NoticeViewAccessibleType();

// Tells screen readers that the view's caret or selection moved.
void NoticeViewAccessibleChanged(GtkWidget* area, bool caret_moved, bool selection_changed);

}  // namespace zprava
