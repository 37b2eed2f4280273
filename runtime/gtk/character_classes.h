#pragma once

#include "text/display_rows.h"

namespace zprava {

// The toolkit's character classes, as text is drawn: a combining mark, a
// joiner and what it joins and a skin tone keep with the character before;
// East Asian wide characters take two columns, zero-width ones none.
CharacterClasses CharacterClassesOnScreen();

}  // namespace zprava
