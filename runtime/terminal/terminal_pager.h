#pragma once

#include <string_view>

namespace zprava {

// The terminal dialog a screen at a time, for a dialog taller than the
// terminal it is shown on: the caption and header stay at the top, the body
// scrolls below them, and the bottom line holds "[ OK ]" and where the
// reader is. Arrows, Page Down, Page Up, Space, Home and End move; Enter,
// Escape and q close. Returns false, having shown nothing, where both files
// are not terminals, the dialog fits the screen, or the terminal cannot be
// driven (no description in terminfo): the dialog is then printed line
// after line instead.
//
// The terminal's settings are restored however it ends: closed, on an
// error, or by a signal that ends or stops the process.
bool ShowPaged(int input_fd, int output_fd, std::u16string_view top, std::u16string_view body);

}  // namespace zprava
