#include "system/legacy_code_page.h"

#include <windows.h>

#include "text/unicode.h"

namespace zprava {
namespace {

// Files written on this machine were written in its ANSI code page (1250 on
// Czech Windows). Windows maps bytes the code page leaves undefined to the C1
// control characters; those are shown as replacement characters.
ByteTable AskWindows() {
  ByteTable table{};
  for (unsigned value = 0; value < table.size(); ++value) {
    const char byte = static_cast<char>(value);
    wchar_t unit = kReplacementCharacter;
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &unit, 1) != 1 ||
        (value >= 0x80 && unit >= 0x80 && unit <= 0x9F)) {
      unit = kReplacementCharacter;
    }
    table[value] = static_cast<char16_t>(unit);
  }
  return table;
}

}  // namespace

const ByteTable& LegacyCodePageTable() {
  static const ByteTable table = AskWindows();
  return table;
}

}  // namespace zprava
