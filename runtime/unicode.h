#pragma once

#include <string>
#include <string_view>

namespace zprava {

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

}  // namespace zprava
