#pragma once

#include <string>
#include <string_view>

namespace zprava {

// Decodes the bytes of a notice file, choosing the encoding in this order:
// a UTF-8 byte-order mark, a UTF-16 LE or BE mark, bytes that are valid UTF-8,
// and otherwise the legacy code page. Malformed sequences under a mark become
// U+FFFD; NUL bytes are ordinary characters.
std::u16string DecodeNoticeBytes(std::string_view bytes);

// Strict UTF-8: fills `out` and returns true only when every sequence is valid
// (no overlong forms, no encoded surrogates, nothing past U+10FFFF).
bool DecodeUtf8Strict(std::string_view bytes, std::u16string& out);

// Lenient UTF-8: each maximal invalid subsequence becomes one U+FFFD.
std::u16string DecodeUtf8Replacing(std::string_view bytes);

enum class ByteOrder { kLittleEndian, kBigEndian };

// UTF-16 without its mark: unpaired surrogates and an odd trailing byte become U+FFFD.
std::u16string DecodeUtf16(std::string_view bytes, ByteOrder order);

// The platform's legacy 8-bit code page (Windows-1250 here): one code unit per
// byte, bytes the code page leaves undefined become U+FFFD.
std::u16string DecodeLegacyCodePage(std::string_view bytes);

}  // namespace zprava
