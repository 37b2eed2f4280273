#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "text/line_end.h"
#include "text/unicode.h"

namespace zprava {

// How text is shown to a person: on a dialog of the toolkit or the system,
// or on a terminal.
enum class DisplayTarget { kDialog, kTerminal };

// Plain text for display. Every line end becomes "\n" (CR LF in UTF-16, as
// Windows' controls take it); tab stays; NUL and every other control
// character, and unpaired surrogates, become U+FFFD so nothing is cut short
// or acted upon. On a terminal the bidirectional formatting characters
// become U+FFFD too, since they would reorder whatever the terminal prints
// after them.
std::string ToDisplayUtf8(std::u16string_view text, DisplayTarget target);
std::u16string ToDisplayUtf16(std::u16string_view text, DisplayTarget target);

// The code point shown for `c` (not a line end) in the display text above:
// `c` itself, or U+FFFD.
char32_t ShownCodePoint(char32_t c, DisplayTarget target);

// Display text is made this many code units at a time, so that the terminal
// writes a huge notice without holding all of it converted at once.
inline constexpr std::size_t kDisplaySliceUnits = std::size_t{1} << 19;

// ToDisplayUtf8 a slice of about `slice_units` at a time, each slice handed
// to `sink` as a std::string. A CR LF or a surrogate pair is never split
// between two slices.
template <typename Sink>
void ForEachDisplaySlice(std::u16string_view text, DisplayTarget target, Sink sink,
                         std::size_t slice_units = kDisplaySliceUnits) {
  while (!text.empty()) {
    std::size_t length = std::min(std::max<std::size_t>(slice_units, 1), text.size());
    const bool splits_pair =
        length < text.size() && IsHighSurrogate(text[length - 1]) && IsLowSurrogate(text[length]);
    if (splits_pair || LineEndLength(text, length - 1) == 2) ++length;
    sink(ToDisplayUtf8(text.substr(0, length), target));
    text.remove_prefix(length);
  }
}

}  // namespace zprava
