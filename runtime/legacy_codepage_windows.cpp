#include <windows.h>

#include <array>

#include "runtime/text_decoder.h"

namespace zprava {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Files written on this machine were written in its ANSI code page (1250 on
// Czech Windows). Windows maps bytes the code page leaves undefined to the C1
// control characters; those are shown as replacement characters.
ByteTable AskWindows() {
  ByteTable table{};
  for (unsigned value = 0; value < table.size(); ++value) {
    const char byte = static_cast<char>(value);
    wchar_t unit = kReplacement;
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &unit, 1) != 1 ||
        (value >= 0x80 && unit >= 0x80 && unit <= 0x9F)) {
      unit = kReplacement;
    }
    table[value] = static_cast<char16_t>(unit);
  }
  return table;
}

}  // namespace

char16_t* DecodeLegacyCodePageTo(std::string_view bytes, char16_t* out) {
  static const ByteTable table = AskWindows();
  return DecodeByTable(bytes, table, out);
}

}  // namespace zprava
