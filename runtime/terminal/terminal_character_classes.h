#pragma once

#include "text/display_rows.h"

namespace zprava {

// Columns a tab may take on a terminal: as far as the next tab stop, every
// eighth column. Rows count it at its most, so that a row never outgrows the
// screen, and the pager fills it to the stop with blanks.
inline constexpr int kTabColumns = 8;

// Character classes as a terminal shows the terminal dialog's text: the C
// library's column widths (wcwidth) of each character as it is shown there
// (a control character as U+FFFD), a character of no width keeping with the
// one before, as a joiner keeps what it joins. The dialog writes UTF-8
// whatever the regional settings, so where they name a character set of
// single bytes (C, say) the widths are those of UTF-8 all the same.
CharacterClasses TerminalCharacterClasses();

}  // namespace zprava
