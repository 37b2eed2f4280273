#include "terminal/terminal_character_classes.h"

#include <locale.h>

#include <cstdlib>
#include <cwchar>

#include "text/display_text.h"

namespace zprava {
namespace {

// Regional settings whose character set knows every character's width: the
// user's where theirs has more than single bytes, otherwise C.UTF-8 (null
// where even that is missing, and the user's are used as they are).
locale_t WidthSettings() {
  if (MB_CUR_MAX > 1) return locale_t{};
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return utf8;
}

int Width(char32_t c) {
  const locale_t settings = WidthSettings();
  const locale_t before = settings != locale_t{} ? uselocale(settings) : locale_t{};
  const int width = wcwidth(static_cast<wchar_t>(c));
  if (before != locale_t{}) uselocale(before);
  return width;
}

int ColumnsOnTerminal(char32_t c) {
  if (c == U'\t') return kTabColumns;
  const int width = Width(ShownCodePoint(c, DisplayTarget::kTerminal));
  return width < 0 ? 1 : width;  // unknown to the C library: as U+FFFD, one column
}

bool KeepsTogetherOnTerminal(char32_t previous, char32_t next) {
  constexpr char32_t kZeroWidthJoiner = 0x200D;
  return previous == kZeroWidthJoiner || (next != U'\t' && ColumnsOnTerminal(next) == 0);
}

}  // namespace

CharacterClasses TerminalCharacterClasses() { return {KeepsTogetherOnTerminal, ColumnsOnTerminal}; }

}  // namespace zprava
