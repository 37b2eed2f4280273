#include "system/legacy_code_page.h"

#include <iconv.h>

#include <bit>

#include "system/failure.h"
#include "text/unicode.h"

namespace zprava {
namespace {

// Notice files come from Czech Windows machines, whose code page is 1250
// (not ISO-8859-2: 0x8A is Š there).
constexpr const char* kLegacyCodePage = "WINDOWS-1250";
constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// The C library knows the code page; asking it once per byte value gives a
// table, and decoding by table keeps long files fast.
ByteTable AskTheCLibrary() {
  const iconv_t converter = iconv_open(kNativeUtf16, kLegacyCodePage);
  if (converter == reinterpret_cast<iconv_t>(-1)) throw RuntimeFailure(FailureNumber::kInternal);
  ByteTable table{};
  for (unsigned value = 0; value < table.size(); ++value) {
    char byte = static_cast<char>(value);
    char16_t unit = kReplacementCharacter;
    char* in = &byte;
    char* out = reinterpret_cast<char*>(&unit);
    std::size_t in_left = 1, out_left = sizeof unit;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // a fresh state for every byte
    if (iconv(converter, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1)) {
      unit = kReplacementCharacter;  // a byte the code page leaves undefined
    }
    table[value] = unit;
  }
  iconv_close(converter);
  return table;
}

}  // namespace

const ByteTable& LegacyCodePageTable() {
  static const ByteTable table = AskTheCLibrary();
  return table;
}

}  // namespace zprava
