#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace zprava {

constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

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

// Unpaired surrogates become U+FFFD.
std::u32string Utf16ToUtf32(std::u16string_view text);
std::u16string Utf32ToUtf16(std::u32string_view text);

// How text is shown to a person: on the toolkit's dialog or on a terminal.
enum class DisplayTarget { kToolkit, kTerminal };

// Plain UTF-8 for display. CR LF, a lone CR and a lone LF each become "\n";
// tab stays; NUL and every other control character, and unpaired surrogates,
// become U+FFFD so nothing is cut short or acted upon. On a terminal the
// bidirectional formatting characters become U+FFFD too, since they would
// reorder whatever the terminal prints after them.
std::string ToDisplayUtf8(std::u16string_view text, DisplayTarget target);

// ToDisplayUtf8 a slice at a time, each slice handed to `sink` as a
// std::string: a huge prompt never needs a second full-size copy. A CR LF or a
// surrogate pair is never split between two slices.
template <typename Sink>
void ForEachDisplaySlice(std::u16string_view text, DisplayTarget target, Sink sink) {
  constexpr std::size_t kSliceUnits = std::size_t{1} << 19;
  while (!text.empty()) {
    std::size_t length = std::min(kSliceUnits, text.size());
    while (length < text.size() &&
           (text[length - 1] == u'\r' || IsHighSurrogate(text[length - 1]))) {
      ++length;
    }
    sink(ToDisplayUtf8(text.substr(0, length), target));
    text.remove_prefix(length);
  }
}

}  // namespace zprava
