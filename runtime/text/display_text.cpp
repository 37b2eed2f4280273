#include "text/display_text.h"

namespace zprava {
namespace {

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsBidiFormatting(char32_t c) {
  return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
         c == 0x200F || c == 0x061C;
}

// Hands `emit` each printable ASCII character as it is, every line end as
// one line break (U'\n') and every other code point as it is to be shown.
template <typename Emit>
void ForEachShownCodePoint(std::u16string_view text, DisplayTarget target, Emit emit) {
  for (std::size_t at = 0; at < text.size();) {
    if (text[at] >= 0x20 && text[at] < 0x7F) {
      emit(text[at++]);
    } else if (const std::size_t line_end = LineEndLength(text, at)) {
      emit(U'\n');
      at += line_end;
    } else {
      const CodePoint c = CodePointAt(text, at);
      emit(ShownCodePoint(c.value, target));
      at += c.length;
    }
  }
}

}  // namespace

char32_t ShownCodePoint(char32_t c, DisplayTarget target) {
  if (c == U'\t') return c;
  if (IsControl(c)) return kReplacementCharacter;
  if (target == DisplayTarget::kTerminal && IsBidiFormatting(c)) return kReplacementCharacter;
  return c;
}

// Builds the text in a small buffer and appends it a block at a time, far
// cheaper per character than growing the string a byte after another.
std::string ToDisplayUtf8(std::u16string_view text, DisplayTarget target) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  std::string block;
  ForEachShownCodePoint(text, target, [&](char32_t c) {
    if (c < 0x80) {
      block.push_back(static_cast<char>(c));
    } else {
      AppendUtf8(c, block);
    }
    if (block.size() >= 4096) {
      out += block;
      block.clear();
    }
  });
  out += block;
  return out;
}

std::u16string ToDisplayUtf16(std::u16string_view text, DisplayTarget target) {
  std::u16string out;
  out.reserve(text.size());
  ForEachShownCodePoint(text, target, [&](char32_t c) {
    char16_t units[2] = {u'\r', u'\n'};
    out.append(units, c == U'\n' ? units + 2 : WriteUtf16(c, units));
  });
  return out;
}

}  // namespace zprava
