#include "text/unicode.h"

namespace zprava {

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::u32string Utf16ToUtf32(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const CodePoint c = CodePointAt(text, at);
    out.push_back(c.value);
    at += c.length;
  }
  return out;
}

std::u16string Utf32ToUtf16(std::u32string_view text) {
  std::u16string out(2 * text.size(), u'\0');
  char16_t* next = out.data();
  for (const char32_t c : text) {
    const bool valid = c <= 0x10FFFF && !IsHighSurrogate(c) && !IsLowSurrogate(c);
    next = WriteUtf16(valid ? c : kReplacementCharacter, next);
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
  return out;
}

}  // namespace zprava
