#include "runtime/unicode.h"

namespace zprava {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Calls `emit` with each code point, unpaired surrogates as U+FFFD.
template <typename Emit>
void ForEachCodePoint(std::u16string_view text, Emit emit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      emit(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00U));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      emit(kReplacement);
    } else {
      emit(unit);
    }
  }
}

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

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsBidiFormatting(char32_t c) {
  return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
         c == 0x200F || c == 0x061C;
}

char32_t ForDisplay(char32_t c, DisplayTarget target) {
  if (c == u'\t' || c == u'\n') return c;
  if (IsControl(c)) return kReplacement;
  if (target == DisplayTarget::kTerminal && IsBidiFormatting(c)) return kReplacement;
  return c;
}

}  // namespace

std::u32string Utf16ToUtf32(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t c) { out.push_back(c); });
  return out;
}

std::u16string Utf32ToUtf16(std::u32string_view text) {
  std::u16string out(2 * text.size(), u'\0');
  char16_t* next = out.data();
  for (const char32_t c : text) {
    const bool valid = c <= 0x10FFFF && !IsHighSurrogate(c) && !IsLowSurrogate(c);
    next = WriteUtf16(valid ? c : kReplacement, next);
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
  return out;
}

// Builds the text in a small buffer and appends it a block at a time: far
// cheaper per character than growing the string one byte after another, which
// matters for notices of hundreds of megabytes.
std::string ToDisplayUtf8(std::u16string_view text, DisplayTarget target) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  std::string block;
  bool after_cr = false;
  ForEachCodePoint(text, [&](char32_t c) {
    if (c >= 0x20 && c < 0x7F) {
      block.push_back(static_cast<char>(c));
      after_cr = false;
    } else {
      const bool lf_of_crlf = after_cr && c == U'\n';
      after_cr = c == U'\r';
      if (!lf_of_crlf) AppendUtf8(ForDisplay(after_cr ? U'\n' : c, target), block);
    }
    if (block.size() >= 4096) {
      out += block;
      block.clear();
    }
  });
  out += block;
  return out;
}

}  // namespace zprava
