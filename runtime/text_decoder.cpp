#include "runtime/text_decoder.h"

#include <cstdint>
#include <cstring>

namespace zprava {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

struct Utf8Sequence {
  char32_t code_point;
  std::size_t length;  // when invalid: the bytes of the longest valid prefix, at least 1
  bool valid;
};

// Well-formed UTF-8 after Unicode's table of byte ranges; the narrowed second
// byte ranges exclude overlong forms, surrogates and values past U+10FFFF.
Utf8Sequence NextUtf8Sequence(const unsigned char* p, std::size_t available) {
  const unsigned lead = p[0];
  if (lead < 0x80) return {lead, 1, true};
  std::size_t continuation_count;
  char32_t code_point;
  unsigned low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    continuation_count = 1;
    code_point = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    continuation_count = 2;
    code_point = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    continuation_count = 3;
    code_point = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {0, 1, false};
  }
  for (std::size_t i = 1; i <= continuation_count; ++i) {
    if (i >= available || p[i] < low || p[i] > high) return {0, i, false};
    low = 0x80;
    high = 0xBF;
    code_point = (code_point << 6) | (p[i] & 0x3F);
  }
  return {code_point, continuation_count + 1, true};
}

char16_t* AppendCodePoint(char32_t code_point, char16_t* out) {
  if (code_point < 0x10000) {
    *out++ = static_cast<char16_t>(code_point);
  } else {
    code_point -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (code_point >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
  }
  return out;
}

bool IsAsciiBlock(const unsigned char* p) {
  std::uint64_t block;
  std::memcpy(&block, p, sizeof block);
  return (block & 0x8080808080808080ULL) == 0;
}

// One code unit never needs more than one byte, so `bytes.size()` units suffice.
template <bool kStrict>
bool DecodeUtf8(std::string_view bytes, std::u16string& text) {
  text.resize(bytes.size());
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = in + bytes.size();
  char16_t* out = text.data();
  while (in < end) {
    if (end - in >= 8 && IsAsciiBlock(in)) {
      for (int i = 0; i < 8; ++i) *out++ = in[i];
      in += 8;
      continue;
    }
    Utf8Sequence sequence = NextUtf8Sequence(in, static_cast<std::size_t>(end - in));
    if (!sequence.valid) {
      if constexpr (kStrict) return false;
      *out++ = kReplacement;
    } else {
      out = AppendCodePoint(sequence.code_point, out);
    }
    in += sequence.length;
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return true;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

}  // namespace

bool DecodeUtf8Strict(std::string_view bytes, std::u16string& out) {
  return DecodeUtf8<true>(bytes, out);
}

std::u16string DecodeUtf8Replacing(std::string_view bytes) {
  std::u16string text;
  DecodeUtf8<false>(bytes, text);
  return text;
}

std::u16string DecodeUtf16(std::string_view bytes, ByteOrder order) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t units = bytes.size() / 2;
  std::u16string text(units + bytes.size() % 2, kReplacement);
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned first = in[2 * i], second = in[2 * i + 1];
    text[i] = static_cast<char16_t>(order == ByteOrder::kLittleEndian ? first | second << 8
                                                                      : first << 8 | second);
  }
  for (std::size_t i = 0; i < units; ++i) {
    const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
    const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
    const bool low_follows = i + 1 < units && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (high && low_follows) {
      ++i;
    } else if (high || low) {
      text[i] = kReplacement;
    }
  }
  return text;
}

std::u16string DecodeNoticeBytes(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return DecodeUtf8Replacing(bytes.substr(3));
  if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), ByteOrder::kLittleEndian);
  if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), ByteOrder::kBigEndian);
  std::u16string text;
  if (DecodeUtf8Strict(bytes, text)) return text;
  text = {};  // give the failed attempt's memory back before decoding again
  return DecodeLegacyCodePage(bytes);
}

}  // namespace zprava
