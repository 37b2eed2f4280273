#pragma once

#include <atk/atk.h>
#include <gtk/gtk.h>

namespace zprava {

// What a text view gives for its text as a whole: the font, colours and
// layout `widget` is drawn with, and the language of the user's locale,
// which screen readers take to choose a voice. The caller owns the set.
AtkAttributeSet* ShownAttributes(GtkWidget* widget);

}  // namespace zprava
