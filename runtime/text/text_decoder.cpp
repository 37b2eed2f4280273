#include "text/text_decoder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "system/legacy_code_page.h"
#include "text/unicode.h"
#include "text/utf8_blocks.h"

namespace zprava {
namespace {

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

constexpr std::ptrdiff_t kBlock = 16;

bool IsAsciiBlock(const unsigned char* p) {
  std::uint64_t halves[2];
  std::memcpy(halves, p, sizeof halves);
  return ((halves[0] | halves[1]) & 0x8080808080808080ULL) == 0;
}

// Czech text mixes ASCII with two-byte sequences at random; deciding between
// the two by selection rather than by branch keeps the processor from
// mispredicting at every other letter. Needs in[1] to be readable.
bool DecodeShortSequence(const unsigned char*& in, char16_t*& out) {
  const unsigned first = in[0], second = in[1];
  const bool ascii = first < 0x80;
  const bool two_bytes = first - 0xC2U <= 0xDFU - 0xC2U && (second & 0xC0U) == 0x80U;
  if (!ascii && !two_bytes) return false;
  *out++ = static_cast<char16_t>(ascii ? first : (first & 0x1FU) << 6 | (second & 0x3FU));
  in += ascii ? 1 : 2;
  return true;
}

// Decodes UTF-8; when strict, returns nullptr at the first invalid sequence,
// otherwise each maximal invalid subsequence becomes one U+FFFD.
template <bool kStrict, CodePath kPath>
char16_t* DecodeUtf8(std::string_view bytes, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = in + bytes.size();
  while (in < end) {
    if (end - in >= kBlock && IsAsciiBlock(in)) {
      for (int i = 0; i < kBlock; ++i) out[i] = in[i];
      out += kBlock;
      in += kBlock;
      continue;
    }
    if (end - in > kBlock && Utf8Blocks<kPath>::DecodeTwoByteBlock(in, out)) continue;
    const auto* stop = in + std::min(kBlock, end - in - 1);
    while (in < stop && DecodeShortSequence(in, out)) {
    }
    if (in < stop || in == end - 1) {  // a longer sequence, an invalid one, or the last byte
      const Utf8Sequence sequence = NextUtf8Sequence(in, static_cast<std::size_t>(end - in));
      if (sequence.valid) {
        out = WriteUtf16(sequence.code_point, out);
      } else if constexpr (kStrict) {
        return nullptr;
      } else {
        *out++ = kReplacementCharacter;
      }
      in += sequence.length;
    }
  }
  return out;
}

char16_t* DecodeUtf16(std::string_view bytes, bool big_endian, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t units = bytes.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned first = in[2 * i], second = in[2 * i + 1];
    out[i] = static_cast<char16_t>(big_endian ? first << 8 | second : first | second << 8);
  }
  for (std::size_t i = 0; i < units; ++i) {
    const bool high = IsHighSurrogate(out[i]);
    const bool low = IsLowSurrogate(out[i]);
    const bool low_follows = i + 1 < units && IsLowSurrogate(out[i + 1]);
    if (high && low_follows) {
      ++i;
    } else if (high || low) {
      out[i] = kReplacementCharacter;
    }
  }
  out += units;
  if (bytes.size() % 2 != 0) *out++ = kReplacementCharacter;
  return out;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

// Four units are put together and stored at once: one by one, the stores
// into fresh memory cost far more than the lookups.
char16_t* DecodeByTable(std::string_view bytes, const ByteTable& table, char16_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 4 <= bytes.size(); i += 4) {
      const std::uint64_t four =
          std::uint64_t{table[in[i]]} | std::uint64_t{table[in[i + 1]]} << 16 |
          std::uint64_t{table[in[i + 2]]} << 32 | std::uint64_t{table[in[i + 3]]} << 48;
      std::memcpy(out + i, &four, sizeof four);
    }
  }
  for (; i < bytes.size(); ++i) out[i] = table[in[i]];
  return out + bytes.size();
}

}  // namespace

char16_t* DecodeLegacyCodePageTo(std::string_view bytes, char16_t* out) {
  return DecodeByTable(bytes, LegacyCodePageTable(), out);
}

template <CodePath kPath>
char16_t* DecodeNoticeBytesTo(std::string_view bytes, char16_t* out) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return DecodeUtf8<false, kPath>(bytes.substr(3), out);
  if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false, out);
  if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true, out);
  // Decoding is also the validity test: a file that is not UTF-8 is decoded
  // again, over the same room, in the legacy code page.
  if (char16_t* end = DecodeUtf8<true, kPath>(bytes, out)) return end;
  return DecodeLegacyCodePageTo(bytes, out);
}

template char16_t* DecodeNoticeBytesTo<CodePath::kScalar>(std::string_view, char16_t*);
#if ZPRAVA_HAVE_SSE2
template char16_t* DecodeNoticeBytesTo<CodePath::kSse2>(std::string_view, char16_t*);
#endif

}  // namespace zprava
