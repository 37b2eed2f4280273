#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zprava {

// U+FFFD stands in for whatever cannot be decoded or shown.
inline constexpr char16_t kReplacementCharacter = 0xFFFD;

constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

struct CodePoint {
  char32_t value;      // U+FFFD for an unpaired surrogate
  std::size_t length;  // code units taken: 2 for a surrogate pair, otherwise 1
};

// The code point that starts at `at`, below text.size().
constexpr CodePoint CodePointAt(std::u16string_view text, std::size_t at) {
  const char32_t unit = text[at];
  if (IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
    return {0x10000 + ((unit - 0xD800) << 10) + (text[at + 1] - 0xDC00U), 2};
  }
  if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) return {kReplacementCharacter, 1};
  return {unit, 1};
}

// Writes a code point of at most U+10FFFF that is no surrogate as one code
// unit or a surrogate pair; returns the end of what it wrote.
inline char16_t* WriteUtf16(char32_t code_point, char16_t* out) {
  if (code_point < 0x10000) {
    *out++ = static_cast<char16_t>(code_point);
  } else {
    code_point -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (code_point >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
  }
  return out;
}

void AppendUtf8(char32_t code_point, std::string& out);

// Unpaired surrogates, and in UTF-32 anything that is no code point, become U+FFFD.
std::u32string Utf16ToUtf32(std::u16string_view text);
std::u16string Utf32ToUtf16(std::u32string_view text);

}  // namespace zprava
