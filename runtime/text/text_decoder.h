#pragma once

#include <string_view>

#include "system/legacy_code_page.h"
#include "text/code_path.h"

namespace zprava {

// Decodes the bytes of a notice file, choosing the encoding in this order: a
// UTF-8 byte-order mark, a UTF-16 LE or BE mark, bytes that are valid UTF-8
// (no overlong forms, no encoded surrogates, nothing past U+10FFFF), and
// otherwise the legacy code page. Malformed sequences under a mark become
// U+FFFD; NUL bytes are ordinary characters.
//
// Writes to `out`, which must have room for bytes.size() code units, and
// returns the end of the decoded text.
template <CodePath kPath = kBuildCodePath>
char16_t* DecodeNoticeBytesTo(std::string_view bytes, char16_t* out);

// The system's legacy 8-bit code page (Windows-1250 here), one code unit per
// byte written to `out`; bytes it leaves undefined become U+FFFD.
char16_t* DecodeLegacyCodePageTo(std::string_view bytes, char16_t* out);

}  // namespace zprava
