#include "gtk/character_classes.h"

#include <glib.h>

namespace zprava {
namespace {

bool KeepsTogetherOnScreen(char32_t previous, char32_t next) {
  constexpr char32_t kZeroWidthJoiner = 0x200D;
  const bool skin_tone = next >= 0x1F3FB && next <= 0x1F3FF;
  return g_unichar_ismark(next) || g_unichar_iszerowidth(next) || previous == kZeroWidthJoiner ||
         skin_tone;
}

int ColumnsOnScreen(char32_t c) {
  if (g_unichar_iszerowidth(c)) return 0;
  return g_unichar_iswide(c) ? 2 : 1;
}

}  // namespace

CharacterClasses CharacterClassesOnScreen() { return {KeepsTogetherOnScreen, ColumnsOnScreen}; }

}  // namespace zprava
